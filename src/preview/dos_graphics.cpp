#include "preview/dos_graphics.h"

#include <string>

namespace quillfen::preview {
namespace {

constexpr std::size_t kTerrainSection = 0, kObjectSection = 1;

// The w x h picture whose planes begin at `picture` and whose mask begins at `mask` in
// `section`. The reason when a plane reaches beyond the section.
Result<Image> planarPicture(std::span<const std::vector<unsigned char>> sections,
                            std::size_t sectionIndex, std::size_t picture, std::size_t mask,
                            unsigned width, unsigned height, const std::array<Pixel, 16>& palette) {
    std::size_t pixels = std::size_t{width} * height;
    std::size_t plane = (pixels + 7) / 8;
    std::size_t size = sectionIndex < sections.size() ? sections[sectionIndex].size() : 0;
    for (auto [from, planes] :
         {std::pair{picture, std::size_t{4}}, std::pair{mask, std::size_t{1}}})
        if (from + planes * plane > size)
            return Error{"bytes " + std::to_string(from) + " to " +
                         std::to_string(from + planes * plane) + " lie beyond section " +
                         std::to_string(sectionIndex) + " (" + std::to_string(size) + " bytes)"};
    const std::vector<unsigned char>& bytes = sections[sectionIndex];
    auto bit = [&](std::size_t start, std::size_t p) {
        return bytes[start + p / 8] >> (7 - p % 8) & 1;
    };
    Image image(static_cast<int>(width), static_cast<int>(height));
    for (std::size_t p = 0; p < pixels; ++p) {
        if (!bit(mask, p))
            continue;
        unsigned colour = 0;
        for (unsigned k = 0; k < 4; ++k)
            colour |= static_cast<unsigned>(bit(picture + k * plane, p)) << k;
        image.pixels[p] = palette[colour];
    }
    return image;
}

} // namespace

Result<GraphicsSet> dosGraphics(const GroundFile& ground,
                                std::span<const std::vector<unsigned char>> sections) {
    GraphicsSet set;
    for (std::size_t i = 0; i < kTerrainKinds; ++i) {
        const TerrainRecord& piece = ground.terrain[i];
        if (piece.width == 0)
            continue;
        auto picture = planarPicture(sections, kTerrainSection, piece.picture, piece.mask,
                                     piece.width, piece.height, ground.palette);
        if (!picture)
            return Error{"the picture of terrain piece " + std::to_string(i) + ": " +
                         picture.error()};
        set.terrain[i] = std::move(*picture);
    }
    for (std::size_t i = 0; i < kObjectKinds; ++i) {
        const ObjectRecord& object = ground.objects[i];
        if (object.width == 0)
            continue;
        std::size_t still = object.stillFrame;
        auto picture = planarPicture(sections, kObjectSection, still, still + object.maskOffset,
                                     object.width, object.height, ground.palette);
        if (!picture)
            return Error{"the still frame of object " + std::to_string(i) + ": " + picture.error()};
        set.objects[i] = std::move(*picture);
    }
    return set;
}

} // namespace quillfen::preview
