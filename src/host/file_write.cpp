#include "host/file_write.h"

#include "common/windows1252.h"
#include "host/file_io.h"

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

// Writes `bytes` over the file at `path` (no link), open in `file`, in place: a copy of its old
// bytes goes on the disk beside it first and is removed once the new bytes are all there, so
// that a write stopped in between is undone at the file's next opening.
Status writeInPlace(OpenFile& file, const std::string& path, std::span<const unsigned char> bytes) {
    const std::string folder = folderOf(path);
    auto copied = copyToTemporaryFile(file, folder, SIZE_MAX);
    if (!copied)
        return Error{copied.error()};
    if (auto renamed = renameOver(*copied, undoPathOf(path)); !renamed) {
        removeFile(*copied);
        return renamed;
    }
    if (auto synced = syncFolder(folder); !synced) {
        removeFile(undoPathOf(path));
        return synced;
    }
    if (auto written = file.replaceAll(bytes); !written) {
        // Put back now where it can be; otherwise the next opening does.
        (void)restoreFromUndo(path);
        return written;
    }
    if (auto dropped = dropUndo(path); !dropped)
        return dropped;
    return flushWrittenFolder(folder);
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
            return Error{std::string("the ") + whose + "'s name " +
                         utf8ToWindows1252(fileNameOf(name)).value_or(fileNameOf(name)) +
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
    // The copy left by a write in place of a file that is gone since would otherwise be taken
    // for the new file's.
    if (info->kind == EntryKind::Missing)
        removeFile(undoPathOf(*target));
    if (info->kind != EntryKind::Missing) {
        if (info->kind == EntryKind::Folder)
            return failure(EISDIR);
        if (info->kind != EntryKind::File)
            return Error{notAFile(path)};
        if (isReadOnly(*target))
            return Error{"the file is read-only"};
        // Opened for writing, so that the system says whether this program may write it.
        auto opened = openFile(*target, OpenFor::Writing);
        if (!opened)
            return Error{opened.error()};
        old.emplace(std::move(*opened));
    }
    if (rules.whenRead)
        if (auto same = stillAsRead(old ? &*old : nullptr, *rules.whenRead); !same)
            return same;
    if (backedUp) {
        auto held = pathInfo(rules.backup, false);
        if (!held)
            return Error{held.error()};
        if (held->kind == EntryKind::Folder || held->kind == EntryKind::Other)
            return Error{notAFile(rules.backup)};
    }

    // The new file is written first, so that a disk too full for it leaves the backup as well
    // as the file untouched. A file with other names is written in place instead.
    const bool inPlace = old && info->links > 1;
    std::optional<std::string> written;
    auto drop = [&](const std::string& reason) {
        if (written)
            removeFile(*written);
        return Error{reason};
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
            return drop(copied.error());
        if (auto renamed = renameOver(*copied, rules.backup); !renamed) {
            removeFile(*copied);
            return drop(renamed.error());
        }
        if (auto synced = syncFolder(backupFolder); !synced)
            return drop(synced.error());
    }
    if (inPlace)
        return writeInPlace(*old, *target, bytes);
    old.reset(); // closed before its name goes to the new file
    if (auto renamed = renameOver(*written, *target); !renamed)
        return drop(renamed.error());
    return rules.sync ? flushWrittenFolder(folder) : success();
}

} // namespace quillfen
