#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace quillfen::preview {

// One pixel: its four bytes R, G, B and A in memory, the order a PNG keeps them. Drawing takes
// a pixel as one word, a few at a time.
using Pixel = std::uint32_t;

constexpr Pixel rgba(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a = 255) {
    return std::bit_cast<Pixel>(std::array<std::uint8_t, 4>{r, g, b, a});
}
// The pixel's bytes R, G, B, A.
constexpr std::array<std::uint8_t, 4> channels(Pixel pixel) {
    return std::bit_cast<std::array<std::uint8_t, 4>>(pixel);
}

inline constexpr Pixel kBlack = rgba(0, 0, 0);

// A picture, row by row from the top. In the game's graphics a pixel that is no part of the
// piece (its mask bit is 0, or a sprite leaves it out) is 0, and every other pixel is opaque;
// so is a level's picture.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<Pixel> pixels;

    Image() = default;
    Image(int w, int h, Pixel fill = 0)
        : width(w), height(h),
          pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), fill) {}

    Pixel& at(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
    Pixel at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    Pixel* row(int y) { return &pixels[static_cast<std::size_t>(y) * width]; }
    const Pixel* row(int y) const { return &pixels[static_cast<std::size_t>(y) * width]; }
    bool empty() const { return pixels.empty(); }
};

// The picture shrunk to `width` pixels (and the height that keeps its proportions, at least 1)
// by a box filter: each pixel of the result is the mean of the pixels of its box, and every
// pixel of the picture lies in exactly one box. A width of 0 or at least the picture's gives
// the picture as it is.
Image thumbnail(const Image& picture, int width);

} // namespace quillfen::preview
