#include "levelfile/level_pack.h"

#include "common/user_texts.h"
#include "common/windows1252.h"
#include "common/windows_names.h"
#include "database/byte_cursor.h"
#include "database/database_format.h"
#include "host/file_io.h"
#include "host/file_write.h"

#include <algorithm>
#include <cctype>
#include <optional>

namespace quillfen::levelfile {
namespace {

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

} // namespace

Result<std::vector<std::vector<unsigned char>>>
unpackLevelPack(std::span<const unsigned char> pack) {
    return unpackSections(pack, "level", kLevelFileSize);
}

bool isSequelPack(const std::string& packName, bool sequel) {
    static const std::string prefix = "DLVEL";
    return sequel ||
           (packName.size() >= prefix.size() &&
            std::equal(prefix.begin(), prefix.end(), packName.begin(), [](char p, char c) {
                return p == std::toupper(static_cast<unsigned char>(c));
            }));
}

void renumberSequelSet(std::span<unsigned char> level) {
    ByteWriter(level).be16(kGraphicsSetOffset, ByteCursor(level).be16(kGraphicsSetOffset) + 5);
}

std::string sectionFileName(const std::string& packName, std::size_t section,
                            std::string_view extension) {
    // A pack's name may hold what Windows allows in no file name ("wh?t.DAT"): its levels are
    // named by a form of it that Windows opens.
    std::string name = windowsSafeName(stemOf(packName));
    name.append("_").append(twoDigits(section)).append(extension);
    return name;
}

Result<ImportPlan> planImport(const std::string& packPath, bool sequel, const std::string& folder) {
    ImportPlan plan;
    plan.folder = folder;
    std::string hostName = fileNameOf(packPath);
    auto packName = utf8ToWindows1252(hostName);
    if (!packName)
        return Error{unstorableText(packPath, "pack's name")};
    plan.packName = *packName;
    plan.setName = stemOf(plan.packName);
    const std::string cannot = "ERROR: cannot import " + escapedControls(plan.packName) + ": ";

    if (!isFolder(folder))
        return Error{cannot + "the folder " + utf8ToWindows1252(folder).value_or(folder) +
                     " is not there"};
    auto bytes = readWholeFile(packPath, kLargestPack);
    if (!bytes)
        return Error{explained(cannot, bytes.error())};
    auto levels = unpackLevelPack(*bytes);
    if (!levels)
        return Error{cannot + levels.error() + "; nothing was written", levels.failure().offset,
                     levels.failure().record};

    sequel = isSequelPack(plan.packName, sequel);
    for (std::size_t section = 0; section < levels->size(); ++section) {
        std::vector<unsigned char>& level = (*levels)[section];
        if (sequel)
            renumberSequelSet(level);
        // A level drawn from one big picture has no terrain pieces, and the Windows game draws
        // no picture: it would be an empty level.
        if (unsigned special = ByteCursor(level).be16(kSpecialGraphicsOffset); special != 0) {
            plan.skipped.push_back({section, "special graphics " + std::to_string(special) +
                                                 ": the Windows game draws no terrain for it"});
            continue;
        }
        auto info = readLevelBytes(level);
        if (!info) {
            plan.skipped.push_back({section, info.error()});
            continue;
        }
        PlannedLevel planned{section, sectionFileName(plan.packName, section, ".LVL"),
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
    std::string report = escapedControls(plan.packName) + ": " +
                         std::to_string(plan.levels.size()) + " level(s) to import into " +
                         utf8ToWindows1252(plan.folder).value_or(plan.folder) + ", " +
                         std::to_string(plan.skipped.size()) + " section(s) skipped\n";
    for (const PlannedLevel& level : plan.levels) {
        bool replaces = std::find(plan.conflicts.begin(), plan.conflicts.end(), level.fileName) !=
                        plan.conflicts.end();
        report += (level.reused ? "already there: "
                   : replaces   ? "replace: "
                                : "write: ") +
                  level.fileName + " \"" + escapedControls(level.info.title) + "\"\n";
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
