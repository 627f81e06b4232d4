#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quillfen::preview {

// One pixel, its bytes in the order R, G, B, A: the order a PNG keeps them.
struct Rgba {
    std::uint8_t r = 0, g = 0, b = 0, a = 0;

    bool operator==(const Rgba&) const = default;
};
static_assert(sizeof(Rgba) == 4);

inline constexpr Rgba kBlack = {0, 0, 0, 255};

// A picture, row by row from the top. In the game's graphics a pixel of alpha 0 is no part of
// the piece (its mask bit is 0, or a sprite leaves it out); a level's picture is opaque.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<Rgba> pixels;

    Image() = default;
    Image(int w, int h, Rgba fill = {})
        : width(w), height(h),
          pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), fill) {}

    Rgba& at(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
    const Rgba& at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    bool empty() const { return pixels.empty(); }
};

// The picture shrunk to `width` pixels (and the height that keeps its proportions, at least 1)
// by a box filter: each pixel of the result is the mean of the pixels of its box, and every
// pixel of the picture lies in exactly one box. A width of 0 or at least the picture's gives
// the picture as it is.
Image thumbnail(const Image& picture, int width);

} // namespace quillfen::preview
