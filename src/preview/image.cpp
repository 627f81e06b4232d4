#include "preview/image.h"

#include <algorithm>
#include <array>

namespace quillfen::preview {
namespace {

// The first pixel of each of `parts` boxes over `size` pixels, then the end of the last.
std::vector<int> boxEdges(int size, int parts) {
    std::vector<int> edges(parts + 1);
    for (int i = 0; i <= parts; ++i)
        edges[i] = static_cast<int>(std::int64_t{i} * size / parts);
    return edges;
}

} // namespace

Image thumbnail(const Image& picture, int width) {
    if (width <= 0 || width >= picture.width)
        return picture;
    auto height = static_cast<int>((std::int64_t{picture.height} * width + picture.width / 2) /
                                   picture.width);
    height = std::max(height, 1);
    std::vector<int> columns = boxEdges(picture.width, width);
    std::vector<int> rows = boxEdges(picture.height, height);
    // The box of each column of the picture, so that a row is summed in one pass.
    std::vector<int> boxOf(picture.width);
    for (int box = 0; box < width; ++box)
        std::fill(boxOf.begin() + columns[box], boxOf.begin() + columns[box + 1], box);

    Image small(width, height);
    std::vector<std::array<std::uint32_t, 4>> sums(width);
    for (int y = 0; y < height; ++y) {
        sums.assign(sums.size(), {});
        for (int row = rows[y]; row < rows[y + 1]; ++row) {
            const Rgba* line = &picture.at(0, row);
            for (int x = 0; x < picture.width; ++x) {
                auto& sum = sums[boxOf[x]];
                sum[0] += line[x].r;
                sum[1] += line[x].g;
                sum[2] += line[x].b;
                sum[3] += line[x].a;
            }
        }
        for (int x = 0; x < width; ++x) {
            auto count =
                static_cast<std::uint32_t>((columns[x + 1] - columns[x]) * (rows[y + 1] - rows[y]));
            auto mean = [&](std::uint32_t sum) {
                return static_cast<std::uint8_t>((sum + count / 2) / count);
            };
            const auto& sum = sums[x];
            small.at(x, y) = {mean(sum[0]), mean(sum[1]), mean(sum[2]), mean(sum[3])};
        }
    }
    return small;
}

} // namespace quillfen::preview
