#pragma once

#include <array>
#include <cstddef>

// The layout of the game's UserDatabase file, written down once for the reader, the writer and
// the checker. All offsets are 0-based; record offsets count from the record's first byte.
namespace quillfen::format {

inline constexpr std::size_t kHeaderSize = 8;
inline constexpr std::size_t kRecordCountOffset = 4;
inline constexpr std::size_t kRecordSize = 137;
// The record count is a signed 16-bit word: from this value on it reads as negative.
inline constexpr unsigned kNegativeRecordCount = 0x8000;

// The loaded image has one slot more than the largest file it takes (the load's last pass).
inline constexpr std::size_t kMaxFileSize = 500000;
inline constexpr std::size_t kImageSize = kMaxFileSize + 1;
// The largest tree whose saved file (8 + 137 x 3649 = 499,921 bytes) loads again.
inline constexpr int kMaxNodes = 3649;
// A group's set count is stored in one byte.
inline constexpr int kMaxSetsInGroup = 255;
// What is read of a profile file at most: more than a profile can hold, so that the load itself
// says how long a file that is too long is.
inline constexpr std::size_t kReadLimit = std::size_t{64} << 20;
// Files shorter than this are refused as corrupt before any parsing.
inline constexpr std::size_t kMinFileSize = 99;

// Fields shared by the three kinds of record.
inline constexpr std::size_t kRecordIndexOffset = 0;
inline constexpr std::size_t kKindOffset = 2;
inline constexpr std::size_t kFixedOffset = 2; // kind byte and the seven fixed bytes behind it
inline constexpr std::size_t kNameOffset = 10;
inline constexpr std::size_t kCountOffset = 118; // a group's sets, a set's levels

// Group record.
inline constexpr std::size_t kGroupNameWidth = 40;
inline constexpr std::size_t kFolderOffset = 50;
inline constexpr std::size_t kFolderWidth = 68;
inline constexpr std::size_t kGroupZerosOffset = 119; // the set count's high byte is always 0
inline constexpr std::size_t kGroupZerosWidth = 18;

// Set record.
inline constexpr std::size_t kSetNameWidth = 108;
inline constexpr std::size_t kSetZerosOffset = 120;
inline constexpr std::size_t kSetZerosWidth = 17;

// Level record.
inline constexpr std::size_t kLevelNameWidth = 40;
inline constexpr std::size_t kLevelFileOffset = 50;
inline constexpr std::size_t kLevelFileWidth = 34;
inline constexpr std::size_t kLevelFileWideOffset = 84;
inline constexpr std::size_t kLevelFileWideWidth = 38;
inline constexpr std::size_t kLevelTrailerOffset = 122;

inline constexpr unsigned char kGroupKind = 1;
inline constexpr unsigned char kSetKind = 2;
inline constexpr unsigned char kLevelKind = 3;

inline constexpr std::array<unsigned char, 8> kGroupFixed = {1, 1, 2, 1, 0, 0, 0, 0};
inline constexpr std::array<unsigned char, 8> kSetFixed = {2, 1, 3, 0, 0, 0, 0, 0};
inline constexpr std::array<unsigned char, 8> kLevelFixed = {3, 0, 0, 0, 3, 0, 0, 0};
// Record offsets 122 to 136 of a level record.
inline constexpr std::array<unsigned char, 15> kLevelTrailer = {
    0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x4C, 0xA4, 0x44, 0x1C, 0x34, 0x4C, 0xC8, 0xA4, 0x00};

constexpr std::size_t recordOffset(std::size_t record) {
    return kHeaderSize + kRecordSize * record;
}
constexpr std::size_t fileSize(std::size_t records) {
    return recordOffset(records);
}

} // namespace quillfen::format
