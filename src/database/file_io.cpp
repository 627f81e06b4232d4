#include "database/file_io.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace quillfen {
namespace {

// Closes a descriptor when it goes out of scope.
struct Descriptor {
    int fd = -1;
    ~Descriptor() {
        if (fd >= 0)
            ::close(fd);
    }
};

Error failure(int error) {
    return Error{systemReason(error)};
}

// Writes all of `bytes`; 0, or the errno of the write that failed.
int writeAll(int fd, std::span<const unsigned char> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

} // namespace

std::string systemReason(int error) {
    return std::strerror(error);
}

std::string folderOf(const std::string& path) {
    auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

Result<std::vector<unsigned char>> readWholeFile(const std::string& path, std::size_t maxBytes) {
    Descriptor file{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
    if (file.fd < 0)
        return failure(errno);
    struct stat info {};
    if (::fstat(file.fd, &info) != 0)
        return failure(errno);
    if (S_ISDIR(info.st_mode))
        return failure(EISDIR);
    auto size = static_cast<std::size_t>(info.st_size);
    if (size > maxBytes)
        return Error{"the file is " + std::to_string(size) + " bytes long, more than " +
                     std::to_string(maxBytes)};
    // One byte more than the size, so that a file that grew meanwhile is noticed.
    std::vector<unsigned char> bytes(size + 1);
    std::size_t got = 0;
    while (got < bytes.size()) {
        ssize_t n = ::read(file.fd, bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return failure(errno);
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    if (got > maxBytes)
        return Error{"the file is more than " + std::to_string(maxBytes) + " bytes long"};
    bytes.resize(got);
    return bytes;
}

namespace {

// A new temporary file in `folder`, filled by `fill` (which gives 0 or an errno), flushed when
// `sync`, and closed. Gives its path; on failure it is removed again.
Result<std::string> makeTemporaryFile(const std::string& folder, bool sync,
                                      const std::function<int(int fd)>& fill) {
    std::string name = folder + "/.quillfen-XXXXXX";
    Descriptor file{::mkostemp(name.data(), O_CLOEXEC)};
    if (file.fd < 0)
        return failure(errno);
    auto fail = [&](int error) {
        ::unlink(name.c_str());
        return failure(error);
    };
    if (int error = fill(file.fd))
        return fail(error);
    // mkostemp makes the file for its owner only; a database file is an ordinary file.
    ::fchmod(file.fd, 0644);
    if (sync && ::fsync(file.fd) != 0)
        return fail(errno);
    int fd = std::exchange(file.fd, -1);
    if (::close(fd) != 0)
        return fail(errno);
    return name;
}

} // namespace

Result<std::string> writeTemporaryFile(const std::string& folder,
                                       std::span<const unsigned char> bytes, bool sync) {
    return makeTemporaryFile(folder, sync, [&](int fd) { return writeAll(fd, bytes); });
}

Result<std::string> copyToTemporaryFile(const std::string& source, const std::string& folder,
                                        bool sync) {
    Descriptor from{::open(source.c_str(), O_RDONLY | O_CLOEXEC)};
    if (from.fd < 0)
        return failure(errno);
    return makeTemporaryFile(folder, sync, [&](int fd) {
        std::vector<unsigned char> piece(1 << 16);
        for (;;) {
            ssize_t got = ::read(from.fd, piece.data(), piece.size());
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                return errno;
            if (got == 0)
                return 0;
            if (int error = writeAll(fd, std::span(piece).first(static_cast<std::size_t>(got))))
                return error;
        }
    });
}

Status renameOver(const std::string& from, const std::string& to, bool sync) {
    if (::rename(from.c_str(), to.c_str()) != 0)
        return failure(errno);
    if (sync) {
        Descriptor folder{::open(folderOf(to).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
        // The rename has happened; a folder that cannot be flushed (some mounted file systems)
        // does not make it undone.
        if (folder.fd >= 0)
            ::fsync(folder.fd);
    }
    return success();
}

Status writeFileAtomically(const std::string& path, std::span<const unsigned char> bytes,
                           bool sync) {
    auto temporary = writeTemporaryFile(folderOf(path), bytes, sync);
    if (!temporary)
        return Error{temporary.error()};
    auto renamed = renameOver(*temporary, path, sync);
    if (!renamed)
        ::unlink(temporary->c_str());
    return renamed;
}

} // namespace quillfen
