#include "levelfile/level_maker.h"

#include <algorithm>

namespace quillfen::levelfile {
namespace {

// The terrain pieces' records, 400 of 4 bytes after the 32 objects' 8-byte records: a piece
// of all 0xFF bytes is unused. Objects and steel areas of zero bytes are unused.
constexpr std::size_t kTerrainOffset = 0x120, kSteelOffset = 0x760;
constexpr unsigned char kReleaseRate = 50, kMinutes = 5;

} // namespace

std::vector<unsigned char> makeLevel(const std::string& title,
                                     const std::array<unsigned char, kCountsCount>& counts) {
    std::vector<unsigned char> bytes(kLevelFileSize, 0);
    bytes[kReleaseRateOffset] = kReleaseRate;
    bytes[kToRescueOffset] = static_cast<unsigned char>(counts[0] / 2);
    bytes[kMinutesOffset] = kMinutes;
    std::fill(bytes.begin() + kTerrainOffset, bytes.begin() + kSteelOffset, 0xFF);
    for (std::size_t i = 0; i < kCountsCount; ++i)
        bytes[kCountOffsets[i]] = counts[i];
    std::string field = title.substr(0, kTitleWidth);
    field.resize(kTitleWidth, ' ');
    std::copy(field.begin(), field.end(), bytes.begin() + kTitleOffset);
    return bytes;
}

} // namespace quillfen::levelfile
