#pragma once

#include "common/result.h"
#include "host/file_write.h"

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

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
inline constexpr std::size_t kLevelFileSize = 2048;
// No engine's level is anywhere near this long; a longer ".lvl" file is refused unread.
inline constexpr std::size_t kLargestLevelRead = std::size_t{1} << 20;
// 16-bit big-endian words of the level's header.
inline constexpr std::size_t kGraphicsSetOffset = 0x1A;
inline constexpr std::size_t kSpecialGraphicsOffset = 0x1C;
// The low bytes of the header's words for the release rate, the lemmings to rescue and the time
// in minutes: the game reads no more of them.
inline constexpr std::size_t kReleaseRateOffset = 1, kToRescueOffset = 5, kMinutesOffset = 7;
// The graphics sets of the Windows game: 0-4 the original sets, 5-8 the sequel's.
inline constexpr unsigned kLastGraphicsSet = 8;
// "graphics set <set> is not one of the game's sets 0 to 8".
std::string notAGraphicsSet(unsigned set);

using Counts = std::array<std::optional<unsigned char>, kCountsCount>;

// The host path of a level file: the folder, one "/", and the file name (Windows-1252 bytes,
// converted to the host's UTF-8 names).
std::string levelFilePath(const std::string& folder, const std::string& fileName);

} // namespace quillfen::levelfile

namespace quillfen::levelfile {

// The nine counts of the level file at `path`; a count beyond the end of a short file is
// nullopt. Refused (with the reason) when the path names a folder or the file cannot be read.
Result<Counts> readCounts(const std::string& path);
// The counts of the level file at `path` as the count boxes show them: `unknown` for a count
// that lies beyond the end of a short file, and for every count of a file that cannot be read.
std::array<std::string, kCountsCount> countTexts(const std::string& path,
                                                 const std::string& unknown);

// A Windows level file as the tool shows it: the title from its 32-byte field (up to a zero
// byte, without the spaces around it), the nine counts, and what a player should know before adding
// it (numbers the game does not expect); the problems are warnings, not refusals.
struct LevelInfo {
    std::string title;
    std::array<unsigned char, kCountsCount> counts{};
    unsigned releaseRate = 0, toRescue = 0, minutes = 0;
    unsigned graphicsSet = 0; // the whole word, which may name no set of the game
    std::vector<std::string> problems;
};

// The level held in `bytes`. Refused, with the reason, when they are not a Windows level file:
// exactly 2048 bytes whose first byte is 0 (other engines' ".lvl" files differ in one or both).
Result<LevelInfo> readLevelBytes(std::span<const unsigned char> bytes);

// The level file at `path`. Refused with the user's message: "ERROR: cannot read the level
// file: <why>" or the one of notALevelFile.
Result<LevelInfo> readLevel(const std::string& path);

// Whether the file at `path` is a Windows level file, for the level-file list: refused with the
// short reason (its size, its first byte, or why it cannot be read).
Status checkLevelFile(const std::string& path);

// "ERROR: <name> is not a Windows Lemmings level file: <reason>".
std::string notALevelFile(std::string_view name, std::string_view reason);

// The level's title, as readLevel gives it. Refused, with the reason, when the file cannot be
// read or is not a Windows level file.
Result<std::string> readTitle(const std::string& path);

inline constexpr char kCannotReadLevelFile[] = "ERROR: cannot read the level file: ";
inline constexpr char kLevelFileNotFound[] =
    "cannot find level file.. make sure you selected the right folder above";
inline constexpr char kBadCount[] =
    "WARNING: each count must be a number from 0 to 255; nothing was written";
// The count boxes take digits only, this many at most (255).
inline constexpr int kCountDigits = 3;
inline constexpr char kCannotWriteLevelFile[] = "ERROR: cannot write the level file: ";
inline constexpr char kLevelInfoSaved[] = "Level info saved";

// Save Level Info: checks all nine box texts (whole numbers 0 to 255 after rounding half to
// even), refuses a file that is not a Windows level file (notALevelFile), then writes the whole
// file with the nine bytes changed, every other byte and the file's length kept, through the
// one write of the host layer (writeFile), whose refusals it gives after kCannotWriteLevelFile.
// Gives kLevelInfoSaved, or the refusal for the user. With `boxesRead`, the file as the boxes'
// counts were read from it, the save is refused (kChangedMeanwhile) when it is no longer that.
Result<std::string> SaveLevelInfo(const std::string& path,
                                  const std::array<std::string, kCountsCount>& boxes,
                                  const std::optional<ReadState>& boxesRead = std::nullopt);

} // namespace quillfen::levelfile
