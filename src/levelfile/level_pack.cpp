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

enum class OnDisk { Missing, Same, Other, Link };

// What the file at `path` holds against the `bytes` an import would write there; Link for a
// symbolic link that leads to anything else, which an import never writes through.
OnDisk onDisk(const std::string& path, std::span<const unsigned char> bytes) {
    auto info = pathInfo(path, false);
    if (!info || info->kind == EntryKind::Missing)
        return OnDisk::Missing;
    auto held = readWholeFile(path, kLevelFileSize);
    if (held && std::equal(held->begin(), held->end(), bytes.begin(), bytes.end()))
        return OnDisk::Same;
    return info->kind == EntryKind::Link ? OnDisk::Link : OnDisk::Other;
}

// Where a Replace keeps the level it wrote over.
std::string backupOf(const std::string& path) {
    return path + "_backup";
}

// A name of the pack's, Windows-1252 as a profile keeps it, in a message.
std::string shownName(const std::string& name) {
    return windows1252ToUtf8(escapedControls(name));
}

std::string conflictMessage(const std::string& fileName) {
    return "ERROR: " + shownName(fileName) +
           " is already in the folder and holds another level; nothing was written";
}

std::string linkMessage(const std::string& path) {
    return "ERROR: " + path +
           " is a symbolic link, which an import never writes through; nothing was written";
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
    const std::string cannot = "ERROR: cannot import " + shownName(plan.packName) + ": ";

    if (!isFolder(folder))
        return Error{cannot + "the folder " + folder + " is not there"};
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
            return Error{cannot + "the file name " + shownName(planned.fileName) +
                         " is longer than " + std::to_string(format::kLevelFileWidth) +
                         " characters, more than a profile keeps"};
        switch (onDisk(levelFilePath(folder, planned.fileName), planned.bytes)) {
        case OnDisk::Missing:
            break;
        case OnDisk::Same:
            planned.reused = true;
            break;
        case OnDisk::Link:
            planned.link = true;
            [[fallthrough]];
        case OnDisk::Other:
            plan.conflicts.push_back(planned.fileName);
            break;
        }
        plan.levels.push_back(std::move(planned));
    }
    return plan;
}

ImportPlan planCopies(std::vector<PlannedLevel> levels, const std::string& folder) {
    ImportPlan plan;
    plan.folder = folder;
    for (PlannedLevel& level : levels) {
        const std::string stem = stemOf(level.fileName);
        const std::string extension = level.fileName.substr(stem.size());
        std::string name = level.fileName;
        for (int n = 2;; ++n) {
            bool taken = std::any_of(plan.levels.begin(), plan.levels.end(),
                                     [&](const PlannedLevel& p) { return p.fileName == name; });
            OnDisk there = onDisk(levelFilePath(folder, name), level.bytes);
            if (!taken && (there == OnDisk::Missing || there == OnDisk::Same)) {
                level.reused = there == OnDisk::Same;
                break;
            }
            // The stem is cut so that the name fits the level's record.
            std::string suffix(1, '_');
            suffix.append(std::to_string(n)).append(extension);
            name.assign(stem, 0,
                        format::kLevelFileWidth - std::min(suffix.size(), format::kLevelFileWidth));
            name.append(suffix);
        }
        level.fileName = std::move(name);
        plan.levels.push_back(std::move(level));
    }
    return plan;
}

std::string importReport(const ImportPlan& plan) {
    std::string report = shownName(plan.packName) + ": " + std::to_string(plan.levels.size()) +
                         " level(s) to import into " + plan.folder;
    if (!plan.skipped.empty())
        report += ", " + std::to_string(plan.skipped.size()) + " part(s) of the pack left out";
    report += "\n";
    for (const PlannedLevel& level : plan.levels) {
        bool replaces = std::find(plan.conflicts.begin(), plan.conflicts.end(), level.fileName) !=
                        plan.conflicts.end();
        const std::string file = shownName(level.fileName);
        report.append(1, '"').append(shownName(level.info.title)).append("\" ");
        if (level.reused)
            report += "is there already as " + file;
        else if (level.link)
            report += "cannot go into " + file +
                      ": that name is a symbolic link, which an import never writes through";
        else if (replaces)
            report += "goes into " + file + ", whose level is kept as " + backupOf(file);
        else
            report += "goes into " + file;
        report += '\n';
        for (const std::string& problem : level.info.problems)
            report.append("  ").append(problem).append(1, '\n');
    }
    for (const SkippedSection& skipped : plan.skipped)
        report.append("part ")
            .append(twoDigits(skipped.section))
            .append(" left out: ")
            .append(skipped.reason)
            .append(1, '\n');
    report.pop_back();
    return report;
}

Result<std::vector<WrittenLevel>> writeImport(const ImportPlan& plan, OnConflict onConflict) {
    const bool replace = onConflict == OnConflict::Replace;
    if (!replace && !plan.conflicts.empty())
        return Error{conflictMessage(plan.conflicts.front())};
    // The folder may have changed since the plan was made: everything is checked again, and
    // written, before another program may write there.
    auto lock = lockFolder(plan.folder);
    if (!lock)
        return Error{"ERROR: cannot import " + shownName(plan.packName) + ": " + lock.error() +
                     "; nothing was written"};
    std::vector<std::pair<const PlannedLevel*, bool>> toWrite; // and whether it replaces one
    std::vector<std::string> found;
    for (const PlannedLevel& level : plan.levels) {
        std::string path = levelFilePath(plan.folder, level.fileName);
        switch (onDisk(path, level.bytes)) {
        case OnDisk::Missing:
            toWrite.emplace_back(&level, false);
            break;
        case OnDisk::Same:
            found.push_back(std::move(path));
            break;
        case OnDisk::Link:
            return Error{replace ? linkMessage(path) : conflictMessage(level.fileName)};
        case OnDisk::Other:
            if (!replace)
                return Error{conflictMessage(level.fileName)};
            toWrite.emplace_back(&level, true);
            break;
        }
    }
    // A file this import reports as its own is no longer the run's that wrote it: that run, if
    // it fails, sees the new time and leaves the file.
    for (const std::string& path : found)
        if (auto touched = touchFile(path); !touched)
            return Error{"ERROR: cannot import " + shownName(plan.packName) + ": " + path + ": " +
                         touched.error() + "; nothing was written"};
    std::vector<WrittenLevel> written;
    for (auto [level, replacing] : toWrite) {
        std::string path = levelFilePath(plan.folder, level->fileName);
        WriteRules rules{.mustBeNew = true};
        std::optional<std::vector<unsigned char>> old;
        Status done = success();
        if (replacing) {
            rules = {.backup = backupOf(path), .backupLimit = kLargestLevelRead};
            auto read = readWholeFile(path, kLargestLevelRead);
            done = read ? success() : Status{Error{read.error()}};
            if (read)
                old = std::move(*read);
        }
        if (done)
            done = writeFile(path, level->bytes, rules);
        if (!done) {
            (void)takeBack(written);
            return Error{"ERROR: cannot write " + shownName(level->fileName) + ": " + done.error() +
                         "; nothing was written"};
        }
        // A file whose state cannot be told is never taken back.
        auto info = pathInfo(path, false);
        written.push_back({path, info ? *info : PathInfo{}, std::move(old)});
    }
    return written;
}

std::vector<std::string> takeBack(const std::vector<WrittenLevel>& files) {
    std::vector<std::string> left;
    for (const WrittenLevel& file : files) {
        // The lock keeps out an import that would find the file and take it up meanwhile.
        auto lock = lockFolder(folderOf(file.path));
        auto now = pathInfo(file.path, false);
        // A made file gone, or a replaced one that holds its old bytes again: taken back already.
        const bool made = !file.replaced;
        if (made ? now && now->kind == EntryKind::Missing
                 : onDisk(file.path, *file.replaced) == OnDisk::Same)
            continue;
        const PathInfo& was = file.written;
        bool asWritten = lock && now && now->kind == EntryKind::File && now->device == was.device &&
                         now->id == was.id && now->size == was.size && now->changed == was.changed;
        if (!asWritten ||
            !(made ? removeFile(file.path) : writeFile(file.path, *file.replaced).ok())) {
            left.push_back(file.path);
            continue;
        }
        // The level is back in its own file: its copy beside goes, while it is that copy.
        const std::string backup = backupOf(file.path);
        auto kept = pathInfo(backup, false);
        if (!made && kept && kept->kind == EntryKind::File &&
            onDisk(backup, *file.replaced) == OnDisk::Same)
            (void)removeFile(backup);
    }
    return left;
}

} // namespace quillfen::levelfile
