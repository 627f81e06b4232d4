// The host layer on Linux and other POSIX systems: how a file is replaced. Temporaries beside
// it, renames over it, flushes of its folder, and the lock of a folder that saves wait for.
#include "host/file_io.h"
#include "host/posix_descriptors.h"

#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <utility>

namespace quillfen {
namespace {

// A new temporary file in `folder`, filled by `fill` (which gives 0 or an errno), given the
// kind, flushed when `sync`, and closed. Gives its path; on failure it is removed again.
Result<std::string> makeTemporaryFile(const std::string& folder, const FileKind& kind, bool sync,
                                      const std::function<int(int fd)>& fill) {
    std::string name =
        folder + "/" + std::string(kOwnPrefix) + "XXXXXX" + std::string(kTemporarySuffix);
    Descriptor file{::mkostemps(name.data(), static_cast<int>(kTemporarySuffix.size()), O_CLOEXEC)};
    if (file.fd < 0)
        return failure(errno);
    auto fail = [&](int error) {
        ::unlink(name.c_str());
        return failure(error);
    };
    if (int error = fill(file.fd))
        return fail(error);
    // The owner where this program may give it (root may; a member of the group may give that),
    // and then the mode, which a change of owner may have cut.
    if (kind.keepOwner && ::fchown(file.fd, kind.owner, kind.group) != 0)
        ::fchown(file.fd, static_cast<uid_t>(-1), kind.group);
    if (::fchmod(file.fd, kind.mode) != 0)
        return fail(errno);
    if (int error = sync ? flush(file.fd, DurableCall::FlushFile, name) : 0)
        return fail(error);
    int fd = std::exchange(file.fd, -1);
    if (::close(fd) != 0)
        return fail(errno);
    return name;
}

} // namespace

Result<std::string> writeTemporaryFile(const std::string& folder,
                                       std::span<const unsigned char> bytes, const FileKind& kind,
                                       bool sync) {
    return makeTemporaryFile(folder, kind, sync, [&](int fd) { return writeAll(fd, bytes); });
}

Result<std::string> copyToTemporaryFile(const OpenFile& source, const std::string& folder,
                                        std::size_t limit) {
    if (auto fits = checkLength(source.size(), limit); !fits)
        return fits.failure();
    bool tooLong = false;
    auto copied = makeTemporaryFile(folder, FileKind::of(source), true, [&](int fd) {
        std::vector<unsigned char> piece(1 << 16);
        for (std::size_t done = 0;;) {
            ssize_t got = ::pread(source.fd_, piece.data(), piece.size(), static_cast<off_t>(done));
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                return errno;
            if (got == 0)
                return 0;
            done += static_cast<std::size_t>(got);
            if (done > limit) {
                tooLong = true;
                return EFBIG;
            }
            if (int error = writeAll(fd, std::span(piece).first(static_cast<std::size_t>(got))))
                return error;
        }
    });
    if (tooLong)
        return Error{fileTooLong(limit)};
    return copied;
}

Status renameOver(const std::string& from, const std::string& to) {
    if (durableCallFails(DurableCall::Rename, to))
        return failure(EIO);
    if (::rename(from.c_str(), to.c_str()) != 0)
        return failure(errno);
    return success();
}

Result<bool> renameNew(const std::string& from, const std::string& to) {
    if (durableCallFails(DurableCall::Rename, to))
        return failure(EIO);
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno == EEXIST)
        return false;
    // File systems that cannot rename so: a second name for the file, which is never made over
    // anything, then the first name removed.
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP && errno != EOPNOTSUPP)
        return failure(errno);
    if (::link(from.c_str(), to.c_str()) != 0)
        return errno == EEXIST ? Result<bool>(false) : failure(errno);
    ::unlink(from.c_str());
    return true;
}

Status syncFolder(const std::string& folder) {
    Descriptor dir{::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
    if (dir.fd < 0)
        return success();
    int error = flush(dir.fd, DurableCall::FlushFolder, folder);
    // Mounted FAT and NTFS folders, and some network file systems, cannot flush a folder.
    if (error == 0 || error == EINVAL || error == ENOTSUP || error == EOPNOTSUPP ||
        error == EROFS || error == EBADF)
        return success();
    return Error{"the folder could not be flushed to the disk: " + systemReason(error)};
}

Result<std::intptr_t> FolderLock::take(const std::string& folder, const PathInfo&) {
    // The folder itself is locked, so that no lock file is left in it; read access is enough.
    Descriptor dir{::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
    if (dir.fd < 0)
        return failure(errno);
    auto deadline = std::chrono::steady_clock::now() + kLockWait;
    while (::flock(dir.fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR)
            return failure(errno);
        if (std::chrono::steady_clock::now() >= deadline)
            return Error{kFolderBusy};
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return std::intptr_t{std::exchange(dir.fd, -1)};
}

void FolderLock::giveUp(std::intptr_t lock) {
    ::close(static_cast<int>(lock)); // gives up the lock
}

} // namespace quillfen
