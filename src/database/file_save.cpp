#include "database/file_save.h"

#include "database/file_io.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>
#include <vector>

namespace quillfen {
namespace {

Error failure(int error) {
    return Error{systemReason(error)};
}

// The file that `path` names once its symbolic links are followed; it need not exist, so that a
// link whose target is missing gets that target.
Result<std::string> linkTarget(const std::string& path) {
    std::string target = path;
    for (int hop = 0; hop < 40; ++hop) {
        struct stat info {};
        if (::lstat(target.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return target;
        std::vector<char> link(PATH_MAX);
        ssize_t n = ::readlink(target.c_str(), link.data(), link.size());
        if (n < 0)
            return failure(errno);
        std::string next(link.data(), static_cast<std::size_t>(n));
        target = next.starts_with('/') ? next : folderOf(target) + "/" + next;
    }
    return failure(ELOOP);
}

// Whether the file's mode keeps this program from writing it. Root may write any file, so for
// root the owner's write bit tells, as the game's own user would find it.
bool readOnly(const std::string& path, const struct stat& info) {
    if (::geteuid() == 0)
        return (info.st_mode & S_IWUSR) == 0;
    return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0 && errno == EACCES;
}

// The locks of the folders a save writes into, each folder once, taken in the order of the
// folders' identity, so that two saves never each hold the lock that the other waits for.
Result<std::vector<FolderLock>> lockFolders(const std::vector<std::string>& folders) {
    std::vector<std::tuple<dev_t, ino_t, std::string>> order;
    for (const std::string& folder : folders) {
        struct stat info {};
        if (::stat(folder.c_str(), &info) != 0)
            return failure(errno);
        order.emplace_back(info.st_dev, info.st_ino, folder);
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
    struct stat info {};
    if (::lstat(target->c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode))
            return failure(EISDIR);
        if (!S_ISREG(info.st_mode))
            return Error{notAFile(path)};
        if (readOnly(*target, info))
            return Error{"the file is read-only"};
        auto opened = openFile(*target, info.st_nlink > 1);
        if (!opened)
            return Error{opened.error()};
        old.emplace(std::move(*opened));
    } else if (errno != ENOENT) {
        return failure(errno);
    }

    // The new file is written first, so that a disk too full for it leaves the backup as well
    // as the file untouched. A file with other names is written in place instead.
    bool inPlace = old && info.st_nlink > 1;
    std::optional<std::string> written;
    auto drop = [&](const std::string& reason) {
        if (written)
            ::unlink(written->c_str());
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
            ::unlink(copied->c_str());
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
