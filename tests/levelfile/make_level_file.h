#pragma once

#include "levelfile/level_file.h"

#include <array>
#include <string>
#include <vector>

namespace quillfen::testing {

using CountBytes = std::array<unsigned char, levelfile::kCountsCount>;

// A level file laid out as the game's are: 2048 bytes, a header of big-endian words whose high
// bytes are 0 (release rate 8, half the lemmings to rescue, 5 minutes, the counts; graphics set
// 0), the title padded with spaces to 32 bytes at the end, no zero byte after it. Every byte
// after the header is filler that differs from its neighbours, so that a write which touches
// more than the counts shows.
inline std::vector<unsigned char> makeLevelFile(const CountBytes& counts,
                                                const std::string& title) {
    std::vector<unsigned char> bytes(levelfile::kLevelFileSize);
    for (std::size_t i = 0x20; i < bytes.size(); ++i)
        bytes[i] = static_cast<unsigned char>(i * 7 + 1);
    bytes[1] = 8;
    bytes[5] = counts[0] / 2;
    bytes[7] = 5;
    for (std::size_t i = 0; i < counts.size(); ++i)
        bytes[levelfile::kCountOffsets[i]] = counts[i];
    std::string padded = title;
    padded.resize(levelfile::kTitleWidth, ' ');
    std::copy(padded.begin(), padded.end(), bytes.begin() + levelfile::kTitleOffset);
    return bytes;
}

} // namespace quillfen::testing
