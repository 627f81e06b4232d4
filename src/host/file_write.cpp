#include "host/file_write.h"

#include "host/file_io.h"
#include "host/repair_copy.h"

#include <algorithm>
#include <cerrno>
#include <optional>
#include <tuple>
#include <vector>

namespace quillfen {
namespace {

Error failure(int error) {
    return Error{systemReason(error)};
}

// The locks of the folders a write writes into, each folder once, taken in the order of the
// folders' identity, so that two writes never each hold the lock that the other waits for.
Result<std::vector<FolderLock>> lockFolders(const std::vector<std::string>& folders) {
    std::vector<std::tuple<std::uint64_t, std::uint64_t, std::string>> order;
    for (const std::string& folder : folders) {
        auto info = pathInfo(folder);
        if (!info)
            return Error{info.error()};
        if (info->kind == EntryKind::Missing)
            return failure(ENOENT);
        order.emplace_back(info->device, info->id, folder);
    }
    std::sort(order.begin(), order.end());
    std::vector<FolderLock> locks;
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (i > 0 && std::get<0>(order[i]) == std::get<0>(order[i - 1]) &&
            std::get<1>(order[i]) == std::get<1>(order[i - 1]))
            continue;
        auto lock = lockFolder(std::get<2>(order[i]));
        if (!lock)
            return Error{lock.error()};
        locks.push_back(std::move(*lock));
    }
    return locks;
}

// Flushes the folder of a file that is written: a failure there no longer undoes the write.
Status flushWrittenFolder(const std::string& folder) {
    if (auto synced = syncFolder(folder); !synced)
        return Error{"ERROR: the file was saved, but " + synced.error()};
    return success();
}

// Whether the open file (none when the path names nothing) is still the one read, with the
// bytes read.
Status stillAsRead(const OpenFile* file, const ReadState& read) {
    if (!file)
        return Error{kChangedMeanwhile};
    auto info = file->info();
    if (!info)
        return Error{info.error()};
    auto bytes = readAll(*file, read.bytes.size());
    if (info->device != read.device || info->id != read.id || !bytes || *bytes != read.bytes)
        return Error{kChangedMeanwhile};
    return success();
}

} // namespace

Result<ReadState> readState(const std::string& path, std::size_t maxBytes, OpenFor how) {
    auto file = openFile(path, how);
    if (!file)
        return Error{file.error()};
    auto info = file->info();
    if (!info)
        return Error{info.error()};
    auto bytes = readAll(*file, maxBytes);
    if (!bytes)
        return bytes.failure();
    return ReadState{info->device, info->id, std::move(*bytes)};
}

std::string couldNotWrite(const std::string& path, const std::string& reason) {
    return explained("ERROR: could not write " + path + ": ", reason);
}

Status writeFile(const std::string& path, std::span<const unsigned char> bytes,
                 const WriteRules& rules) {
    const bool backedUp = !rules.backup.empty();
    if (path.find('\0') != std::string::npos || rules.backup.find('\0') != std::string::npos)
        return Error{kZeroInFileName};
    auto target = linkTarget(path);
    if (!target)
        return Error{target.error()};
    for (auto [whose, name] : {std::pair{"file", *target}, std::pair{"backup", rules.backup}})
        if (!name.empty() && nameTooLong(name))
            return Error{std::string("the ") + whose + "'s name " + fileNameOf(name) +
                         " is too long"};
    const std::string folder = folderOf(*target), backupFolder = folderOf(rules.backup);
    // Held from the first look at the files to the last rename.
    auto locks = lockFolders(backedUp ? std::vector{folder, backupFolder} : std::vector{folder});
    if (!locks)
        return Error{locks.error()};

    auto info = pathInfo(rules.mustBeNew ? path : *target, false);
    if (!info)
        return Error{info.error()};
    if (rules.mustBeNew && info->kind != EntryKind::Missing)
        return Error{kAlreadyThere};
    std::optional<OpenFile> old;
    if (info->kind != EntryKind::Missing) {
        if (info->kind == EntryKind::Folder)
            return failure(EISDIR);
        if (info->kind != EntryKind::File)
            return Error{notAFile(path)};
        if (isReadOnly(*target))
            return Error{"the file is read-only"};
        // Opened for writing, so that the system says whether this program may write it, and
        // locked, so that a write through another of its names waits.
        auto opened = openLocked(*target, true);
        if (!opened)
            return Error{opened.error()};
        old.emplace(std::move(*opened));
    }
    if (auto repaired = repairIfStopped(old ? &*old : nullptr, *target); !repaired)
        return repaired;
    if (rules.whenRead)
        if (auto same = stillAsRead(old ? &*old : nullptr, *rules.whenRead); !same)
            return same;
    if (backedUp) {
        auto held = pathInfo(rules.backup, false);
        if (!held)
            return Error{held.error()};
        if (held->kind == EntryKind::Folder || held->kind == EntryKind::Other)
            return Error{notAFile(rules.backup)};
        if (held->kind == EntryKind::File && isReadOnly(rules.backup))
            return Error{"the backup " + rules.backup + " is read-only"};
    }
    auto now = old ? old->info() : Result<PathInfo>(PathInfo{});
    if (!now)
        return Error{now.error()};

    // Whatever may run out of space is done before anything is replaced: the new file (or, for a
    // file with other names, which is written in place, the repair copy and the file's new
    // length) and the backup's copy. So a disk too full for any of them leaves every file as it
    // was, the backup too.
    const bool inPlace = old && now->links > 1;
    std::optional<std::string> written, backupCopy;
    std::vector<unsigned char> before;
    bool copyKept = false;
    auto drop = [&](const Error& reason) {
        if (written)
            removeFile(*written);
        if (backupCopy)
            removeFile(*backupCopy);
        // Put back where it can be; otherwise the next opening does.
        if (copyKept && old->replaceAll(before))
            (void)dropUndo(*target);
        return reason;
    };
    if (!inPlace) {
        auto made =
            writeTemporaryFile(folder, bytes, old ? FileKind::of(*old) : FileKind{}, rules.sync);
        if (!made)
            return Error{made.error()};
        written = *made;
    }
    // A copy rather than a hard link, which FAT and NTFS folders mounted in Linux do not have.
    if (old && backedUp) {
        auto copied = copyToTemporaryFile(*old, backupFolder, rules.backupLimit);
        if (!copied)
            return drop(copied.failure());
        backupCopy = *copied;
    }
    if (inPlace) {
        auto read = readAll(*old, SIZE_MAX);
        if (!read)
            return drop(read.failure());
        before = std::move(*read);
        if (auto kept = keepRepairCopy(*old, *target, before, bytes); !kept)
            return drop(kept.failure());
        copyKept = true;
        if (auto reserved = old->reserve(bytes.size()); !reserved)
            return drop(reserved.failure());
    }
    if (backupCopy) {
        if (auto renamed = renameOver(*backupCopy, rules.backup); !renamed)
            return drop(renamed.failure());
        backupCopy.reset();
        if (auto synced = syncFolder(backupFolder); !synced)
            return drop(synced.failure());
    }
    if (inPlace) {
        if (auto replaced = old->replaceAll(bytes); !replaced)
            return drop(replaced.failure());
        if (auto dropped = dropUndo(*target); !dropped)
            return dropped;
        return flushWrittenFolder(folder);
    }
    old.reset(); // closed before its name goes to the new file
    if (rules.mustBeNew) {
        // Whatever another program put at the path meanwhile stays.
        auto moved = renameNew(*written, path);
        if (!moved || !*moved)
            return drop(moved ? Error{kAlreadyThere} : moved.failure());
    } else if (auto renamed = renameOver(*written, *target); !renamed) {
        return drop(renamed.failure());
    }
    return rules.sync ? flushWrittenFolder(folder) : success();
}

} // namespace quillfen
