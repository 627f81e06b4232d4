#include "preview/image.h"

#include <algorithm>
#include <cstdint>

namespace quillfen::preview {
namespace {

// The first pixel of each of `parts` boxes over `size` pixels, then the end of the last: each
// box size / parts pixels long, or one more.
std::vector<int> boxEdges(int size, int parts) {
    std::vector<int> edges(parts + 1);
    for (int i = 0; i <= parts; ++i)
        edges[i] = static_cast<int>(std::int64_t{i} * size / parts);
    return edges;
}

// The mean of a box's sum over its `count` pixels, rounded: (sum + count / 2) / count. For a
// box of fewer than 2^16 pixels, whose sums stay below 2^24, it is the product with 2^40 / count
// rounded up, taken 2^40 times smaller, exactly; a division for each channel of each pixel
// would take most of a thumbnail's time.
class BoxMean {
public:
    explicit BoxMean(std::uint32_t count)
        : count_(count), scale_(((std::uint64_t{1} << 40) + count - 1) / count) {}

    std::uint8_t operator()(std::uint32_t sum) const {
        std::uint32_t rounded = sum + count_ / 2;
        return static_cast<std::uint8_t>(count_ < (1u << 16) ? rounded * scale_ >> 40
                                                             : rounded / count_);
    }

private:
    std::uint32_t count_;
    std::uint64_t scale_;
};

} // namespace

Image thumbnail(const Image& picture, int width) {
    if (width <= 0 || width >= picture.width)
        return picture;
    auto height = static_cast<int>((std::int64_t{picture.height} * width + picture.width / 2) /
                                   picture.width);
    height = std::max(height, 1);
    std::vector<int> columns = boxEdges(picture.width, width);
    std::vector<int> rows = boxEdges(picture.height, height);
    const int narrow = picture.width / width;

    Image small(width, height);
    // Each row of boxes: the bytes of its rows summed column by column (a loop the compiler
    // does many bytes at a time), those sums added up from the left, and each box's sum taken
    // as the difference of two of them.
    std::vector<std::uint32_t> sums(static_cast<std::size_t>(picture.width) * 4 + 4);
    for (int y = 0; y < height; ++y) {
        std::fill(sums.begin(), sums.end(), 0);
        for (int row = rows[y]; row < rows[y + 1]; ++row) {
            const auto* bytes = reinterpret_cast<const std::uint8_t*>(picture.row(row));
            for (std::size_t i = 0; i + 4 < sums.size(); ++i)
                sums[i + 4] += bytes[i];
        }
        for (std::size_t i = 4; i < sums.size(); ++i)
            sums[i] += sums[i - 4];
        auto band = static_cast<std::uint32_t>(rows[y + 1] - rows[y]);
        const BoxMean means[] = {BoxMean(narrow * band), BoxMean((narrow + 1) * band)};
        for (int x = 0; x < width; ++x) {
            const BoxMean& mean = means[columns[x + 1] - columns[x] - narrow];
            const std::uint32_t* left = &sums[columns[x] * 4];
            const std::uint32_t* right = &sums[columns[x + 1] * 4];
            small.at(x, y) = rgba(mean(right[0] - left[0]), mean(right[1] - left[1]),
                                  mean(right[2] - left[2]), mean(right[3] - left[3]));
        }
    }
    return small;
}

} // namespace quillfen::preview
