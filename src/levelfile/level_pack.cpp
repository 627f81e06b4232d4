#include "levelfile/level_pack.h"

#include "common/user_texts.h"
#include "common/windows1252.h"
#include "database/database_format.h"
#include "host/file_io.h"
#include "host/file_write.h"

#include <algorithm>
#include <cctype>
#include <optional>

namespace quillfen::levelfile {
namespace {

// Far more than the largest pack (47 sections of at most 2 KiB); a longer file is no pack.
constexpr std::size_t kLargestPack = std::size_t{1} << 24;

constexpr char kEndsEarly[] = "its compressed stream ends before the level is complete";
constexpr char kEndsLate[] = "its compressed stream goes on after the level is complete";

// The compressed bits, read from the last byte backwards, lowest bit first. The last byte
// holds only `bitCount` bits (none when 0).
class BitReader {
public:
    BitReader(std::span<const unsigned char> bytes, unsigned bitCount)
        : bytes_(bytes), at_(bytes.size() - 1), current_(bytes.back()), left_(bitCount) {}

    // The next `width` bits, the first read the highest; nullopt when the stream runs out.
    std::optional<unsigned> read(unsigned width) {
        unsigned value = 0;
        for (unsigned i = 0; i < width; ++i) {
            if (left_ == 0) {
                if (at_ == 0)
                    return std::nullopt;
                current_ = bytes_[--at_];
                left_ = 8;
            }
            value = value << 1 | (current_ & 1u);
            current_ >>= 1;
            --left_;
        }
        return value;
    }

    bool atEnd() const { return left_ == 0 && at_ == 0; }

private:
    std::span<const unsigned char> bytes_;
    std::size_t at_; // the byte whose bits are being read
    unsigned current_;
    unsigned left_; // bits of it not read yet
};

std::optional<unsigned> plus(std::optional<unsigned> n, unsigned more) {
    if (n)
        *n += more;
    return n;
}

// One section's stream, unpacked from the end of the level to its start. The reason when the
// stream does not make exactly one level.
Result<std::vector<unsigned char>> unpackSection(std::span<const unsigned char> stream,
                                                 unsigned bitCount) {
    std::vector<unsigned char> out(kLevelFileSize);
    std::size_t left = out.size(); // the next byte goes to out[left - 1]
    BitReader bits(stream, bitCount);
    while (left > 0) {
        auto first = bits.read(1);
        auto second = first ? bits.read(*first ? 2 : 1) : std::nullopt;
        if (!second)
            return Error{kEndsEarly};
        // 00, 01, then 100, 101, 110, 111 as 4 to 7.
        unsigned code = *first << 2 | *second;
        std::optional<unsigned> length;
        std::optional<unsigned> offset; // none for raw bytes
        switch (code) {
        case 0:
            length = plus(bits.read(3), 1);
            break;
        case 1:
            length = 2;
            offset = bits.read(8);
            break;
        case 4:
            length = 3;
            offset = bits.read(9);
            break;
        case 5:
            length = 4;
            offset = bits.read(10);
            break;
        case 6:
            length = plus(bits.read(8), 1);
            offset = length ? bits.read(12) : std::nullopt;
            break;
        default:
            length = plus(bits.read(8), 9);
            break;
        }
        bool copy = code != 0 && code != 7;
        if (!length || (copy && !offset))
            return Error{kEndsEarly};
        if (*length > left)
            return Error{kEndsLate};
        // A copy takes out[i + offset + 1] for each i it writes; the first is the farthest.
        if (copy && left + *offset >= out.size())
            return Error{"its compressed stream copies from beyond the end of the level"};
        for (unsigned n = 0; n < *length; ++n, --left) {
            if (copy) {
                out[left - 1] = out[left + *offset];
                continue;
            }
            auto byte = bits.read(8);
            if (!byte)
                return Error{kEndsEarly};
            out[left - 1] = static_cast<unsigned char>(*byte);
        }
    }
    if (!bits.atEnd())
        return Error{kEndsLate};
    return out;
}

std::string hexByte(unsigned value) {
    const char* digits = "0123456789ABCDEF";
    return std::string("0x") + digits[value >> 4 & 15] + digits[value & 15];
}

enum class OnDisk { Missing, Same, Other };

// What the file at `path` holds against the `bytes` an import would write there.
OnDisk onDisk(const std::string& path, std::span<const unsigned char> bytes) {
    if (auto info = pathInfo(path, false); !info || info->kind == EntryKind::Missing)
        return OnDisk::Missing;
    auto held = readWholeFile(path, kLevelFileSize);
    bool same = held && std::equal(held->begin(), held->end(), bytes.begin(), bytes.end());
    return same ? OnDisk::Same : OnDisk::Other;
}

std::string conflictMessage(const std::string& fileName) {
    return "ERROR: " + fileName +
           " is already in the folder and holds another level; nothing was written";
}

std::string twoDigits(std::size_t n) {
    std::string digits = std::to_string(n);
    if (digits.size() < 2)
        digits.insert(digits.begin(), '0');
    return digits;
}

bool isSequelName(const std::string& name) {
    static const std::string prefix = "DLVEL";
    return name.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), name.begin(), [](char p, char c) {
               return p == std::toupper(static_cast<unsigned char>(c));
           });
}

} // namespace

Result<std::vector<std::vector<unsigned char>>>
unpackLevelPack(std::span<const unsigned char> pack) {
    if (pack.empty())
        return Error{"the file is empty"};
    std::vector<std::vector<unsigned char>> levels;
    std::size_t at = 0;
    while (at < pack.size()) {
        auto damaged = [&](const std::string& why) {
            return Error{"section " + twoDigits(levels.size()) + " (at byte " + std::to_string(at) +
                         "): " + why};
        };
        std::size_t rest = pack.size() - at;
        // Also what stray bytes after the last section come to.
        if (rest < kSectionHeaderSize)
            return damaged("only " + std::to_string(rest) +
                           " byte(s) are left, too few for a 10-byte section header");
        auto header = pack.subspan(at, kSectionHeaderSize);
        unsigned bitCount = header[0];
        unsigned checksum = header[1];
        unsigned unpacked = bigEndianWord(header, 4);
        std::size_t packed = bigEndianWord(header, 8);
        if (packed <= kSectionHeaderSize || packed > rest)
            return damaged("its packed size " + std::to_string(packed) +
                           " does not fit the header and the " + std::to_string(rest) +
                           " bytes left in the file");
        if (bitCount > 8)
            return damaged("its bit count is " + std::to_string(bitCount) + ", more than 8");
        auto stream = pack.subspan(at + kSectionHeaderSize, packed - kSectionHeaderSize);
        unsigned sum = 0;
        for (unsigned char byte : stream)
            sum ^= byte;
        if (sum != checksum)
            return damaged("its checksum is " + hexByte(checksum) + " but its bytes give " +
                           hexByte(sum));
        if (unpacked != kLevelFileSize)
            return damaged("its unpacked size is " + std::to_string(unpacked) + ", not 2048");
        auto level = unpackSection(stream, bitCount);
        if (!level)
            return damaged(level.error());
        levels.push_back(std::move(*level));
        at += packed;
    }
    return levels;
}

Result<ImportPlan> planImport(const std::string& packPath, bool sequel, const std::string& folder) {
    ImportPlan plan;
    plan.folder = folder;
    std::string hostName = fileNameOf(packPath);
    auto packName = utf8ToWindows1252(hostName);
    if (!packName)
        return Error{kUnstorableText};
    plan.packName = *packName;
    plan.setName = plan.packName.substr(0, plan.packName.find_last_of('.'));
    const std::string cannot = "ERROR: cannot import " + plan.packName + ": ";

    if (!isFolder(folder))
        return Error{cannot + "the folder " + utf8ToWindows1252(folder).value_or(folder) +
                     " is not there"};
    auto bytes = readWholeFile(packPath, kLargestPack);
    if (!bytes)
        return Error{explained(cannot, bytes.error())};
    auto levels = unpackLevelPack(*bytes);
    if (!levels)
        return Error{cannot + levels.error() + "; nothing was written"};

    sequel = sequel || isSequelName(plan.packName);
    for (std::size_t section = 0; section < levels->size(); ++section) {
        std::vector<unsigned char>& level = (*levels)[section];
        if (sequel) {
            unsigned set = bigEndianWord(level, kGraphicsSetOffset) + 5;
            level[kGraphicsSetOffset] = static_cast<unsigned char>(set >> 8);
            level[kGraphicsSetOffset + 1] = static_cast<unsigned char>(set);
        }
        // A level drawn from one big picture has no terrain pieces, and the Windows game draws
        // no picture: it would be an empty level.
        if (unsigned special = bigEndianWord(level, kSpecialGraphicsOffset); special != 0) {
            plan.skipped.push_back({section, "special graphics " + std::to_string(special) +
                                                 ": the Windows game draws no terrain for it"});
            continue;
        }
        auto info = readLevelBytes(level);
        if (!info) {
            plan.skipped.push_back({section, info.error()});
            continue;
        }
        PlannedLevel planned{section, plan.setName + "_" + twoDigits(section) + ".LVL",
                             std::move(level), std::move(*info)};
        if (planned.fileName.size() > format::kLevelFileWidth)
            return Error{cannot + "the file name " + planned.fileName + " is longer than " +
                         std::to_string(format::kLevelFileWidth) +
                         " characters, more than a profile keeps"};
        switch (onDisk(levelFilePath(folder, planned.fileName), planned.bytes)) {
        case OnDisk::Missing:
            break;
        case OnDisk::Same:
            planned.reused = true;
            break;
        case OnDisk::Other:
            plan.conflicts.push_back(planned.fileName);
            break;
        }
        plan.levels.push_back(std::move(planned));
    }
    return plan;
}

std::string importReport(const ImportPlan& plan) {
    std::string report = plan.packName + ": " + std::to_string(plan.levels.size()) +
                         " level(s) to import into " +
                         utf8ToWindows1252(plan.folder).value_or(plan.folder) + ", " +
                         std::to_string(plan.skipped.size()) + " section(s) skipped\n";
    for (const PlannedLevel& level : plan.levels) {
        bool replaces = std::find(plan.conflicts.begin(), plan.conflicts.end(), level.fileName) !=
                        plan.conflicts.end();
        report += (level.reused ? "already there: "
                   : replaces   ? "replace: "
                                : "write: ") +
                  level.fileName + " \"" + level.info.title + "\"\n";
        if (replaces)
            report += "  the file there holds another level; a replace keeps it as " +
                      level.fileName + "_backup\n";
        for (const std::string& problem : level.info.problems)
            report += "  WARNING: " + problem + "\n";
    }
    for (const SkippedSection& skipped : plan.skipped)
        report += "skip: section " + twoDigits(skipped.section) + ": " + skipped.reason + "\n";
    report.pop_back();
    return report;
}

Status writeImport(const ImportPlan& plan, OnConflict onConflict) {
    const bool replace = onConflict == OnConflict::Replace;
    if (!replace && !plan.conflicts.empty())
        return Error{conflictMessage(plan.conflicts.front())};
    // The folder may have changed since the plan was made: everything is checked again, and
    // written, before another program may write there.
    auto lock = lockFolder(plan.folder);
    if (!lock)
        return Error{"ERROR: cannot import " + plan.packName + ": " + lock.error() +
                     "; nothing was written"};
    std::vector<std::pair<const PlannedLevel*, bool>> toWrite; // and whether it replaces one
    for (const PlannedLevel& level : plan.levels) {
        switch (onDisk(levelFilePath(plan.folder, level.fileName), level.bytes)) {
        case OnDisk::Missing:
            toWrite.emplace_back(&level, false);
            break;
        case OnDisk::Same:
            break;
        case OnDisk::Other:
            if (!replace)
                return Error{conflictMessage(level.fileName)};
            toWrite.emplace_back(&level, true);
            break;
        }
    }
    std::vector<std::string> written, replaced;
    for (auto [level, replacing] : toWrite) {
        std::string path = levelFilePath(plan.folder, level->fileName);
        WriteRules rules{.mustBeNew = true};
        if (replacing)
            rules = {.backup = path + "_backup", .backupLimit = kLargestLevelRead};
        if (auto done = writeFile(path, level->bytes, rules); !done) {
            for (const std::string& made : written)
                removeFile(made);
            for (const std::string& made : replaced)
                if (auto old = readWholeFile(made + "_backup", kLargestLevelRead))
                    (void)writeFile(made, *old);
            return Error{"ERROR: cannot write " + level->fileName + ": " + done.error() +
                         "; nothing was written"};
        }
        (replacing ? replaced : written).push_back(std::move(path));
    }
    return success();
}

} // namespace quillfen::levelfile
