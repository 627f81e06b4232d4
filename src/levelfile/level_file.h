#pragma once

#include "database/result.h"
#include "database/user_interface.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>

namespace quillfen::levelfile {

// The fields of a game level file that the tool touches; the rest is never read or written.
inline constexpr std::size_t kCountsCount = 9;
// Lemmings, then climbers, floaters, bombers, blockers, builders, bashers, miners, diggers:
// the low bytes of 16-bit big-endian words.
inline constexpr std::array<std::size_t, kCountsCount> kCountOffsets = {3,  9,  11, 13, 15,
                                                                        17, 19, 21, 23};
inline constexpr std::array<const char*, kCountsCount> kCountNames = {
    "lemmings", "climbers", "floaters", "bombers", "blockers",
    "builders", "bashers",  "miners",   "diggers"};
inline constexpr std::size_t kTitleOffset = 2016;
inline constexpr std::size_t kTitleWidth = 32; // padded with spaces, no zero byte
inline constexpr std::size_t kTitleLimit = 255;
inline constexpr std::size_t kLevelFileSize = 2048;

using Counts = std::array<std::optional<unsigned char>, kCountsCount>;

// The host path of a level file: the folder, one "/", and the file name (Windows-1252 bytes,
// converted to the host's UTF-8 names).
std::string levelFilePath(const std::string& folder, const std::string& fileName);

} // namespace quillfen::levelfile

namespace quillfen::levelfile {

// The nine counts of the level file at `path`; a count beyond the end of a short file is
// nullopt. Refused (with the reason) when the path names a folder or the file cannot be read.
Result<Counts> readCounts(const std::string& path);

// The level's title: from offset 2016 up to the first zero byte or the end of the file, at most
// 255 bytes, spaces kept. Refused when the file cannot be opened or read.
Result<std::string> readTitle(const std::string& path);

inline constexpr char kLevelFileNotFound[] =
    "cannot find level file.. make sure you selected the right folder above";
inline constexpr char kBadCount[] =
    "WARNING: each count must be a number from 0 to 255; nothing was written";
inline constexpr char kCannotWriteLevelFile[] = "ERROR: cannot write the level file: ";
inline constexpr char kLevelInfoSaved[] = "Level info saved";

// Save Level Info: checks all nine box texts (whole numbers 0 to 255 after rounding half to
// even), then writes the nine bytes in one write of offsets 3 to 23, keeping the bytes between
// them and the file's length. Tells the user the outcome; true when "Level info saved" was shown.
bool SaveLevelInfo(const std::string& path, const std::array<std::string, kCountsCount>& boxes,
                   UserInterface& ui);

} // namespace quillfen::levelfile
