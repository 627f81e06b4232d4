// The host layer on Linux and other POSIX systems: what names what, and open files.
#include "host/file_io.h"
#include "host/posix_descriptors.h"

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <cwctype>
#include <dirent.h>
#include <fcntl.h>
#include <locale.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <utility>

namespace quillfen {
namespace {

EntryKind kindOf(mode_t mode) {
    if (S_ISREG(mode))
        return EntryKind::File;
    if (S_ISDIR(mode))
        return EntryKind::Folder;
    if (S_ISLNK(mode))
        return EntryKind::Link;
    return EntryKind::Other;
}

PathInfo infoOf(const struct stat& info) {
    PathInfo found;
    found.kind = kindOf(info.st_mode);
    found.size = static_cast<std::uint64_t>(info.st_size);
    found.changed = std::int64_t{info.st_mtim.tv_sec} * 1000000000 + info.st_mtim.tv_nsec;
    found.device = static_cast<std::uint64_t>(info.st_dev);
    found.id = static_cast<std::uint64_t>(info.st_ino);
    found.links = static_cast<std::uint64_t>(info.st_nlink);
    return found;
}

} // namespace

Result<PathInfo> pathInfo(const std::string& path, bool followLinks) {
    struct stat info {};
    if ((followLinks ? ::stat(path.c_str(), &info) : ::lstat(path.c_str(), &info)) != 0) {
        if (errno == ENOENT)
            return PathInfo{};
        return failure(errno);
    }
    return infoOf(info);
}

std::vector<FolderEntry> listFolder(const std::string& folder) {
    std::vector<FolderEntry> entries;
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr)
        return entries;
    while (const dirent* entry = ::readdir(dir)) {
        std::string_view name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        // The folder's own listing tells most entries' kind; only links and file systems that
        // do not say need a look at the entry itself.
        EntryKind kind = entry->d_type == DT_REG   ? EntryKind::File
                         : entry->d_type == DT_DIR ? EntryKind::Folder
                                                   : EntryKind::Other;
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            struct stat info {};
            std::string path = pathIn(folder, entry->d_name);
            kind = ::stat(path.c_str(), &info) == 0 ? kindOf(info.st_mode) : EntryKind::Missing;
        }
        entries.push_back({std::string(name), kind});
    }
    ::closedir(dir);
    return entries;
}

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
        target = next.starts_with('/') ? next : pathIn(folderOf(target), next);
    }
    return failure(ELOOP);
}

bool isReadOnly(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && (info.st_mode & S_IWUSR) == 0;
}

bool nameTooLong(const std::string& path) {
    long most = ::pathconf(folderOf(path).c_str(), _PC_NAME_MAX);
    return most > 0 && fileNameOf(path).size() > static_cast<std::size_t>(most);
}

bool removeFile(const std::string& path) {
    return ::unlink(path.c_str()) == 0;
}

Status makeLink(const std::string& target, const std::string& path) {
    return ::symlink(target.c_str(), path.c_str()) == 0 ? success() : failure(errno);
}

Status touchFile(const std::string& path) {
    return ::utimensat(AT_FDCWD, path.c_str(), nullptr, 0) == 0 ? success() : failure(errno);
}

std::string currentFolder() {
    std::vector<char> buffer(PATH_MAX);
    return ::getcwd(buffer.data(), buffer.size()) ? buffer.data() : ".";
}

std::vector<std::string> fixedDrives() {
    return {};
}

std::string settingsFolder() {
    // As the XDG base directories have it: a relative $XDG_CONFIG_HOME is ignored.
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && config[0] == '/')
        return pathIn(config, "quillfen");
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/')
        return pathIn(pathIn(home, ".config"), "quillfen");
    return currentFolder();
}

Status createFolder(const std::string& folder) {
    return ::mkdir(folder.c_str(), 0700) == 0 ? success() : failure(errno);
}

bool removeEmptyFolder(const std::string& folder) {
    return ::rmdir(folder.c_str()) == 0;
}

char16_t hostLowerCase(char16_t unit) {
    // The host's Unicode case table; without it only ASCII letters fold.
    static locale_t locale = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{});
    if (!locale)
        return unit;
    auto lower = ::towlower_l(static_cast<wint_t>(unit), locale);
    return lower <= 0xFFFF ? static_cast<char16_t>(lower) : unit;
}

OpenFile::OpenFile(OpenFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), size_(other.size_) {}

OpenFile::~OpenFile() {
    if (fd_ >= 0)
        ::close(fd_);
}

Result<OpenFile> OpenFile::open(const std::string& path, bool forWriting) {
    if (path.find('\0') != std::string::npos)
        return Error{kZeroInFileName};
    // Without O_NONBLOCK, opening a FIFO waits for a writer; it is refused below instead.
    int flags = (forWriting ? O_RDWR : O_RDONLY) | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    Descriptor file{::open(path.c_str(), flags)};
    struct stat info {};
    if (file.fd < 0 || ::fstat(file.fd, &info) != 0)
        return failure(errno);
    if (S_ISDIR(info.st_mode))
        return failure(EISDIR);
    if (!S_ISREG(info.st_mode))
        return Error{notAFile(path)};
    ::fcntl(file.fd, F_SETFL, ::fcntl(file.fd, F_GETFL) & ~O_NONBLOCK);
    return OpenFile(std::exchange(file.fd, -1), static_cast<std::uint64_t>(info.st_size));
}

Result<PathInfo> OpenFile::info() const {
    struct stat info {};
    if (::fstat(fd_, &info) != 0)
        return failure(errno);
    return infoOf(info);
}

Result<std::vector<unsigned char>> OpenFile::readAt(std::uint64_t offset, std::size_t size) const {
    std::vector<unsigned char> bytes(size);
    std::size_t got = 0;
    while (got < size) {
        ssize_t n = ::pread(fd_, bytes.data() + got, size - got, static_cast<off_t>(offset + got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return failure(errno);
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    bytes.resize(got);
    return bytes;
}

Status OpenFile::writeAt(std::uint64_t offset, std::span<const unsigned char> bytes) {
    if (int error = writeAll(fd_, bytes, static_cast<off_t>(offset)))
        return failure(error);
    return success();
}

Status OpenFile::sync() {
    if (int error = flush(fd_, DurableCall::FlushFile, {}))
        return failure(error);
    return success();
}

Status OpenFile::lock() {
    auto deadline = std::chrono::steady_clock::now() + kLockWait;
    while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR)
            return failure(errno);
        if (std::chrono::steady_clock::now() >= deadline)
            return Error{kFileBusy};
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return success();
}

Status OpenFile::reserve(std::uint64_t size) {
    if (size <= size_)
        return success();
    int error = ::posix_fallocate(fd_, 0, static_cast<off_t>(size));
    if (error != 0 && error != EOPNOTSUPP && error != EINVAL)
        return failure(error);
    if (error == 0)
        size_ = size;
    return success();
}

Status OpenFile::replaceAll(std::span<const unsigned char> bytes) {
    if (auto reserved = reserve(bytes.size()); !reserved)
        return reserved;
    if (durableCallFails(DurableCall::WriteInPlace, {}))
        return failure(EIO);
    if (auto written = writeAt(0, bytes); !written)
        return written;
    if (durableCallFails(DurableCall::SetLength, {}))
        return failure(EIO);
    if (::ftruncate(fd_, static_cast<off_t>(bytes.size())) != 0)
        return failure(errno);
    size_ = bytes.size();
    return sync();
}

FileKind FileKind::of(const OpenFile& file) {
    struct stat info {};
    if (::fstat(file.fd_, &info) != 0)
        return {};
    return {info.st_mode & 07777, true, info.st_uid, info.st_gid};
}

} // namespace quillfen
