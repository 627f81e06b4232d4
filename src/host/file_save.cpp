#include "host/file_save.h"

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

// The locks of the folders a save writes into, each folder once, taken in the order of the
// folders' identity, so that two saves never each hold the lock that the other waits for.
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

} // namespace

Status saveWithBackup(const std::string& path, const std::string& backup,
                      std::span<const unsigned char> bytes, std::size_t backupLimit) {
    if (path.find('\0') != std::string::npos || backup.find('\0') != std::string::npos)
        return Error{kZeroInFileName};
    auto target = linkTarget(path);
    if (!target)
        return Error{target.error()};
    const std::string folder = folderOf(*target), backupFolder = folderOf(backup);
    // Held from the first temporary to the last rename.
    auto locks = lockFolders({folder, backupFolder});
    if (!locks)
        return Error{locks.error()};
    removeLeftTemporaries(folder);
    removeLeftTemporaries(backupFolder);

    std::optional<OpenFile> old;
    auto info = pathInfo(*target, false);
    if (!info)
        return Error{info.error()};
    if (info->kind != EntryKind::Missing) {
        if (info->kind == EntryKind::Folder)
            return failure(EISDIR);
        if (info->kind != EntryKind::File)
            return Error{notAFile(path)};
        if (isReadOnly(*target))
            return Error{"the file is read-only"};
        auto opened = openFile(*target, info->links > 1);
        if (!opened)
            return Error{opened.error()};
        old.emplace(std::move(*opened));
    }

    // The new file is written first, so that a disk too full for it leaves the backup as well
    // as the file untouched. A file with other names is written in place instead.
    bool inPlace = old && info->links > 1;
    std::optional<std::string> written;
    auto drop = [&](const std::string& reason) {
        if (written)
            removeFile(*written);
        return Error{reason};
    };
    if (!inPlace) {
        auto made = writeTemporaryFile(folder, bytes, old ? FileKind::of(*old) : FileKind{});
        if (!made)
            return Error{made.error()};
        written = *made;
    }
    // A copy rather than a hard link, which FAT and NTFS folders mounted in Linux do not have.
    if (old) {
        auto copied = copyToTemporaryFile(*old, backupFolder, backupLimit);
        if (!copied)
            return drop(copied.error());
        if (auto renamed = renameOver(*copied, backup); !renamed) {
            removeFile(*copied);
            return drop(renamed.error());
        }
        if (auto synced = syncFolder(backupFolder); !synced)
            return drop(synced.error());
    }
    if (inPlace)
        return old->replaceAll(bytes);
    if (auto renamed = renameOver(*written, *target); !renamed)
        return drop(renamed.error());
    if (auto synced = syncFolder(folder); !synced)
        return Error{"ERROR: the file was saved, but " + synced.error()};
    return success();
}

} // namespace quillfen
