#include "levelfile/level_file.h"

#include "database/file_io.h"
#include "database/windows1252.h"

#include <sys/stat.h>

namespace quillfen::levelfile {
namespace {

// The span of bytes that Save Level Info rewrites: offsets 3 to 23.
constexpr std::size_t kFirstCount = kCountOffsets.front();
constexpr std::size_t kCountSpan = kCountOffsets.back() - kFirstCount + 1;

// An empty file name leaves the path ending in the separator, which names the folder itself:
// the game's editor found no level file there, and neither do we.
bool levelFileExists(const std::string& path) {
    struct stat info {};
    return !path.empty() && path.back() != '/' && ::stat(path.c_str(), &info) == 0;
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

Status writeCounts(const std::string& path, const std::array<unsigned char, kCountsCount>& counts) {
    auto file = openFile(path, true);
    if (!file)
        return Error{file.error()};
    std::size_t needed = kCountOffsets.back() + 1;
    if (file->size() < needed)
        return Error{"the file is " + std::to_string(file->size()) + " bytes long, shorter than " +
                     std::to_string(needed)};
    // The bytes between the counts are the high bytes of their words and whatever else the
    // level keeps there; they are written back as read, so one write covers offsets 3 to 23.
    auto span = file->readAt(kFirstCount, kCountSpan);
    if (!span)
        return Error{span.error()};
    if (span->size() < kCountSpan)
        return Error{"the file became shorter while it was read"};
    for (std::size_t i = 0; i < kCountsCount; ++i)
        (*span)[kCountOffsets[i] - kFirstCount] = counts[i];
    if (auto written = file->writeAt(kFirstCount, *span); !written)
        return written;
    // On the disk before "Level info saved" is shown.
    return file->sync();
}

} // namespace

std::string levelFilePath(const std::string& folder, const std::string& fileName) {
    return folder + "/" + windows1252ToUtf8(fileName);
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

Result<std::string> readTitle(const std::string& path) {
    auto file = openFile(path);
    if (!file)
        return Error{file.error()};
    auto bytes = file->readAt(kTitleOffset, kTitleLimit);
    if (!bytes)
        return Error{bytes.error()};
    std::string title(bytes->begin(), bytes->end());
    return title.substr(0, title.find('\0'));
}

bool SaveLevelInfo(const std::string& path, const std::array<std::string, kCountsCount>& boxes,
                   UserInterface& ui) {
    if (!levelFileExists(path)) {
        ui.message(kLevelFileNotFound);
        return false;
    }
    // Every box is checked before the file is opened, so a bad one leaves the file untouched.
    std::array<unsigned char, kCountsCount> counts{};
    for (std::size_t i = 0; i < kCountsCount; ++i) {
        auto count = countFromText(boxes[i]);
        if (!count) {
            ui.message(kBadCount);
            return false;
        }
        counts[i] = *count;
    }
    if (auto written = writeCounts(path, counts); !written) {
        ui.message(explained(kCannotWriteLevelFile, written.error()));
        return false;
    }
    ui.message(kLevelInfoSaved);
    return true;
}

} // namespace quillfen::levelfile
