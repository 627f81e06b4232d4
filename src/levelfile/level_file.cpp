#include "levelfile/level_file.h"

#include "common/windows1252.h"
#include "database/byte_cursor.h"
#include "host/file_io.h"
#include "host/file_write.h"

#include <algorithm>

namespace quillfen::levelfile {
namespace {

// The twelve count words of the header (offsets 0 to 22), whose high bytes the game leaves 0.
constexpr std::array<const char*, 12> kWordNames = {
    "release rate", "lemmings", "to rescue", "time",    "climbers", "floaters",
    "bombers",      "blockers", "builders",  "bashers", "miners",   "diggers"};
constexpr unsigned kMostLemmings = 114; // the most the game's own levels hold

// Why a file of `size` bytes that begins with `first` is not a Windows level file; empty when
// it is one.
std::string notLevelReason(std::size_t size, unsigned char first) {
    if (size != kLevelFileSize)
        return "the file is " + std::to_string(size) + " bytes long, not " +
               std::to_string(kLevelFileSize);
    // The release rate's high byte: other engines keep a format number there.
    if (first != 0)
        return "its first byte is " + std::to_string(first) + ", not 0";
    return "";
}

std::vector<std::string> problemsOf(const ByteCursor& level) {
    std::vector<std::string> problems;
    auto say = [&](const std::string& text) { problems.push_back(text); };
    unsigned graphics = level.be16(kGraphicsSetOffset);
    if (graphics > kLastGraphicsSet)
        say(notAGraphicsSet(graphics));
    if (unsigned special = level.be16(kSpecialGraphicsOffset); special != 0)
        say("special graphics " + std::to_string(special) +
            ": the Windows game draws no terrain for this level");
    unsigned lemmings = level.be16(2);
    unsigned rescue = level.be16(4);
    if (lemmings > kMostLemmings)
        say(std::to_string(lemmings) + " lemmings, more than the game's 114");
    if (rescue > lemmings)
        say(std::to_string(rescue) + " to rescue, more than the " + std::to_string(lemmings) +
            " lemmings");
    for (std::size_t i = 0; i < kWordNames.size(); ++i) {
        if (unsigned value = level.be16(2 * i); value > 255)
            say(std::string(kWordNames[i]) + " is " + std::to_string(value) +
                ", more than 255 (the game reads only its low byte)");
    }
    return problems;
}

// The file's name as the user's messages show it.
std::string shownName(const std::string& path) {
    return fileNameOf(path);
}

// An empty file name leaves the path ending in the separator, which names the folder itself:
// the game's editor found no level file there, and neither do we.
bool levelFileExists(const std::string& path) {
    return !fileNameOf(path).empty() && pathExists(path);
}

// A count box's text as a byte: a whole or decimal number (spaces around it allowed), rounded
// to the nearest whole number with an exact half going to the even neighbour. Done on the
// digits themselves, so that 2.5 is exactly a half.
std::optional<unsigned char> countFromText(const std::string& text) {
    auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return std::nullopt;
    auto last = text.find_last_not_of(" \t");
    std::string number = text.substr(first, last - first + 1);
    auto point = number.find('.');
    std::string whole = number.substr(0, point);
    std::string fraction = point == std::string::npos ? "" : number.substr(point + 1);
    auto digits = [](const std::string& s) {
        return s.find_first_not_of("0123456789") == std::string::npos;
    };
    if ((whole.empty() && fraction.empty()) || !digits(whole) || !digits(fraction))
        return std::nullopt;
    whole.erase(0, whole.find_first_not_of('0'));
    if (whole.size() > 3)
        return std::nullopt;
    int value = whole.empty() ? 0 : std::stoi(whole);
    if (!fraction.empty()) {
        bool aboveHalf =
            fraction[0] > '5' ||
            (fraction[0] == '5' && fraction.find_first_not_of('0', 1) != std::string::npos);
        bool exactHalf = fraction[0] == '5' && !aboveHalf;
        if (aboveHalf || (exactHalf && value % 2 == 1))
            ++value;
    }
    if (value > 255)
        return std::nullopt;
    return static_cast<unsigned char>(value);
}

// Writes the counts into the level file at `path`; refused with the user's message. The whole
// file is read and written back through the one write, its other bytes and its length as they
// were, with its folder held so that no other write comes in between.
Status writeCounts(const std::string& path, const std::array<unsigned char, kCountsCount>& counts,
                   const std::optional<ReadState>& countsRead) {
    auto target = linkTarget(path);
    if (!target)
        return Error{explained(kCannotWriteLevelFile, target.error())};
    auto lock = lockFolder(folderOf(*target));
    if (!lock)
        return Error{explained(kCannotWriteLevelFile, lock.error())};
    // What was read goes with the write (the reading the counts came from, when there was one),
    // so that a change another program made meanwhile is refused rather than lost.
    auto read = readState(path, kLargestLevelRead);
    if (!read)
        return Error{explained(kCannotWriteLevelFile, read.error())};
    std::vector<unsigned char> bytes = read->bytes;
    if (auto reason = notLevelReason(bytes.size(), bytes.empty() ? 0 : bytes[0]); !reason.empty())
        return Error{notALevelFile(shownName(path), reason)};
    for (std::size_t i = 0; i < kCountsCount; ++i)
        bytes[kCountOffsets[i]] = counts[i];
    if (auto written =
            writeFile(path, bytes, {.whenRead = countsRead ? *countsRead : std::move(*read)});
        !written)
        return Error{explained(kCannotWriteLevelFile, written.error())};
    return success();
}

} // namespace

std::string notAGraphicsSet(unsigned set) {
    return "graphics set " + std::to_string(set) + " is not one of the game's sets 0 to " +
           std::to_string(kLastGraphicsSet);
}

std::string levelFilePath(const std::string& folder, const std::string& fileName) {
    return pathIn(folder, windows1252ToUtf8(fileName));
}

Result<Counts> readCounts(const std::string& path) {
    auto file = openFile(path);
    if (!file)
        return Error{file.error()};
    auto bytes = file->readAt(0, kCountOffsets.back() + 1);
    if (!bytes)
        return Error{bytes.error()};
    Counts counts;
    for (std::size_t i = 0; i < kCountsCount; ++i) {
        if (kCountOffsets[i] < bytes->size())
            counts[i] = (*bytes)[kCountOffsets[i]];
    }
    return counts;
}

std::array<std::string, kCountsCount> countTexts(const std::string& path,
                                                 const std::string& unknown) {
    std::array<std::string, kCountsCount> texts;
    texts.fill(unknown);
    if (auto counts = readCounts(path))
        for (std::size_t i = 0; i < kCountsCount; ++i)
            if ((*counts)[i])
                texts[i] = std::to_string(*(*counts)[i]);
    return texts;
}

Result<LevelInfo> readLevelBytes(std::span<const unsigned char> bytes) {
    if (auto reason = notLevelReason(bytes.size(), bytes.empty() ? 0 : bytes[0]); !reason.empty())
        return Error{reason};
    ByteCursor file(bytes);
    LevelInfo level;
    // The title is its field alone: the file ends with it, and nothing after it is a title. The
    // game centres titles with spaces, which the names made of them go without.
    std::string_view title = file.text(kTitleOffset, kTitleWidth);
    title.remove_prefix(std::min(title.find_first_not_of(' '), title.size()));
    level.title = title.substr(0, title.find_last_not_of(' ') + 1);
    for (std::size_t i = 0; i < kCountsCount; ++i)
        level.counts[i] = static_cast<unsigned char>(file.byte(kCountOffsets[i]));
    level.releaseRate = file.byte(kReleaseRateOffset);
    level.toRescue = file.byte(kToRescueOffset);
    level.minutes = file.byte(kMinutesOffset);
    level.graphicsSet = file.be16(kGraphicsSetOffset);
    level.problems = problemsOf(file);
    return level;
}

namespace {

// The level at `path`, refused with the short reason: the system's, or why it is no level.
Result<LevelInfo> levelAt(const std::string& path) {
    auto bytes = readWholeFile(path, kLargestLevelRead);
    if (!bytes)
        return Error{bytes.error()};
    return readLevelBytes(*bytes);
}

} // namespace

Result<LevelInfo> readLevel(const std::string& path) {
    auto bytes = readWholeFile(path, kLargestLevelRead);
    if (!bytes)
        return Error{explained("ERROR: cannot read the level file " + path + ": ", bytes.error())};
    auto level = readLevelBytes(*bytes);
    if (!level)
        return Error{notALevelFile(shownName(path), level.error())};
    return level;
}

Status checkLevelFile(const std::string& path) {
    if (auto level = levelAt(path); !level)
        return Error{level.error()};
    return success();
}

std::string notALevelFile(std::string_view name, std::string_view reason) {
    return "ERROR: " + std::string(name) +
           " is not a Windows Lemmings level file: " + std::string(reason);
}

Result<std::string> readTitle(const std::string& path) {
    auto level = levelAt(path);
    if (!level)
        return Error{level.error()};
    return std::move(level->title);
}

Result<std::string> SaveLevelInfo(const std::string& path,
                                  const std::array<std::string, kCountsCount>& boxes,
                                  const std::optional<ReadState>& boxesRead) {
    if (!levelFileExists(path))
        return Error{kLevelFileNotFound};
    // Every box is checked before the file is opened, so a bad one leaves the file untouched.
    std::array<unsigned char, kCountsCount> counts{};
    for (std::size_t i = 0; i < kCountsCount; ++i) {
        auto count = countFromText(boxes[i]);
        if (!count)
            return Error{kBadCount};
        counts[i] = *count;
    }
    if (auto written = writeCounts(path, counts, boxesRead); !written)
        return Error{written.error()};
    return std::string(kLevelInfoSaved);
}

} // namespace quillfen::levelfile
