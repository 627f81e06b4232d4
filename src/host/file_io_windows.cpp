// The host layer on Windows: wide calls on UTF-8 paths, every file in binary, renames that
// replace.
#include "host/file_io.h"
#include "host/windows_text.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <functional>
#include <io.h>
#include <thread>
#include <utility>

namespace quillfen {
namespace {

// The errno value whose words say what a Windows error says.
int errnoOf(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_INVALID_NAME:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
        return EACCES;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return EEXIST;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_DIRECTORY:
        return ENOTDIR;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return ENOMEM;
    default:
        return EIO;
    }
}

Error failure(DWORD error) {
    return Error{systemReason(errnoOf(error))};
}

Error lastFailure() {
    return failure(::GetLastError());
}

HANDLE handleOf(int fd) {
    return reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
}

// A descriptor that owns `handle` (closed with it); -1, the handle closed, when none is left.
int descriptorOf(HANDLE handle) {
    int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_BINARY);
    if (fd < 0)
        ::CloseHandle(handle);
    return fd;
}

// Closes a handle when it goes out of scope.
struct Handle {
    HANDLE handle = INVALID_HANDLE_VALUE;
    ~Handle() {
        if (handle != INVALID_HANDLE_VALUE)
            ::CloseHandle(handle);
    }
    HANDLE release() { return std::exchange(handle, INVALID_HANDLE_VALUE); }
};

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

OVERLAPPED at(std::uint64_t offset) {
    OVERLAPPED where{};
    where.Offset = static_cast<DWORD>(offset & 0xFFFFFFFF);
    where.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return where;
}

// Writes all of `bytes` at `offset`; 0, or the error of the write that failed.
DWORD writeAll(HANDLE file, std::span<const unsigned char> bytes, std::uint64_t offset) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        auto piece = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 30));
        OVERLAPPED where = at(offset + done);
        DWORD n = 0;
        if (!::WriteFile(file, bytes.data() + done, piece, &n, &where))
            return ::GetLastError();
        done += n;
    }
    return 0;
}

Status setLength(HANDLE file, std::uint64_t length) {
    LARGE_INTEGER position;
    position.QuadPart = static_cast<LONGLONG>(length);
    if (!::SetFilePointerEx(file, position, nullptr, FILE_BEGIN) || !::SetEndOfFile(file))
        return lastFailure();
    return success();
}

bool missing(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
           error == ERROR_INVALID_NAME || error == ERROR_BAD_NETPATH ||
           error == ERROR_INVALID_DRIVE;
}

// Six letters or digits for a temporary's name, different at each call.
std::string temporarySuffix() {
    static std::uint64_t counter = 0;
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    std::uint64_t seed = static_cast<std::uint64_t>(now.QuadPart) * 6364136223846793005ULL +
                         ::GetCurrentProcessId() * 1442695040888963407ULL + ++counter;
    constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::string suffix;
    for (int i = 0; i < 6; ++i) {
        seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
        suffix += kLetters[(seed >> 33) % 62];
    }
    return suffix;
}

// A new temporary file in `folder`, filled by `fill` (which gives 0 or an error), flushed when
// `sync`, and closed. Gives its path; on failure it is removed again.
Result<std::string> makeTemporaryFile(const std::string& folder, bool sync,
                                      const std::function<DWORD(HANDLE)>& fill) {
    std::string name;
    Handle file;
    for (int attempt = 0; attempt < 100 && file.handle == INVALID_HANDLE_VALUE; ++attempt) {
        name = folder + "/.quillfen-" + temporarySuffix();
        file.handle = ::CreateFileW(widened(name).c_str(), GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file.handle == INVALID_HANDLE_VALUE && ::GetLastError() != ERROR_FILE_EXISTS)
            return lastFailure();
    }
    if (file.handle == INVALID_HANDLE_VALUE)
        return failure(ERROR_FILE_EXISTS);
    auto fail = [&](DWORD error) {
        ::CloseHandle(file.release());
        removeFile(name);
        return failure(error);
    };
    if (DWORD error = fill(file.handle))
        return fail(error);
    if (sync && !::FlushFileBuffers(file.handle))
        return fail(::GetLastError());
    if (!::CloseHandle(file.release())) {
        removeFile(name);
        return lastFailure();
    }
    return name;
}

} // namespace

Result<PathInfo> pathInfo(const std::string& path, bool followLinks) {
    DWORD flags = FILE_FLAG_BACKUP_SEMANTICS | (followLinks ? 0 : FILE_FLAG_OPEN_REPARSE_POINT);
    Handle file{::CreateFileW(widened(path).c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                              OPEN_EXISTING, flags, nullptr)};
    if (file.handle == INVALID_HANDLE_VALUE) {
        DWORD error = ::GetLastError();
        if (missing(error) || path.empty())
            return PathInfo{};
        return failure(error);
    }
    PathInfo found;
    BY_HANDLE_FILE_INFORMATION info{};
    if (::GetFileType(file.handle) != FILE_TYPE_DISK ||
        !::GetFileInformationByHandle(file.handle, &info)) {
        found.kind = EntryKind::Other;
        return found;
    }
    if (!followLinks && (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        found.kind = EntryKind::Link;
    else if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        found.kind = EntryKind::Folder;
    else
        found.kind = EntryKind::File;
    found.size = (std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
    // 100-nanosecond steps since 1601.
    found.changed =
        static_cast<std::int64_t>(((std::uint64_t{info.ftLastWriteTime.dwHighDateTime} << 32) |
                                   info.ftLastWriteTime.dwLowDateTime) *
                                  100);
    found.device = info.dwVolumeSerialNumber;
    found.id = (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
    found.links = info.nNumberOfLinks;
    return found;
}

std::vector<FolderEntry> listFolder(const std::string& folder) {
    std::vector<FolderEntry> entries;
    WIN32_FIND_DATAW entry;
    HANDLE search = ::FindFirstFileW(widened(folder + "/*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return entries;
    do {
        std::wstring_view name = entry.cFileName;
        if (name == L"." || name == L"..")
            continue;
        EntryKind kind = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? EntryKind::Folder
                                                                             : EntryKind::File;
        entries.push_back({narrowed(name), kind});
    } while (::FindNextFileW(search, &entry));
    ::FindClose(search);
    return entries;
}

Result<std::string> linkTarget(const std::string& path) {
    // The Windows calls follow links themselves, and a replace keeps the link.
    return path;
}

bool isReadOnly(const std::string& path) {
    DWORD attributes = ::GetFileAttributesW(widened(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

void removeFile(const std::string& path) {
    ::DeleteFileW(widened(path).c_str());
}

std::string currentFolder() {
    DWORD size = ::GetCurrentDirectoryW(0, nullptr);
    std::wstring folder(size, L'\0');
    folder.resize(::GetCurrentDirectoryW(size, folder.data()));
    return folder.empty() ? "." : narrowed(folder);
}

bool isSeparator(char c) {
    return c == '/' || c == '\\';
}

char16_t hostLowerCase(char16_t unit) {
    wchar_t text[1] = {static_cast<wchar_t>(unit)};
    ::CharLowerBuffW(text, 1);
    return static_cast<char16_t>(text[0]);
}

std::string folderOf(const std::string& path) {
    auto separator = path.find_last_of("/\\");
    bool drive = path.size() >= 2 && path[1] == ':';
    if (separator == std::string::npos)
        return drive ? path.substr(0, 2) : ".";
    // The root of a drive ("C:\") or of the current drive ("\").
    if (separator == 0 || (drive && separator == 2))
        return path.substr(0, separator + 1);
    return path.substr(0, separator);
}

OpenFile::OpenFile(OpenFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), size_(other.size_) {}

OpenFile::~OpenFile() {
    if (fd_ >= 0)
        ::_close(fd_);
}

Result<OpenFile> openFile(const std::string& path, bool forWriting) {
    if (path.find('\0') != std::string::npos)
        return Error{kZeroInFileName};
    std::wstring wide = widened(path);
    DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return Error{systemReason(EISDIR)};
    DWORD access = GENERIC_READ | (forWriting ? GENERIC_WRITE : 0);
    Handle file{::CreateFileW(wide.c_str(), access, kShareAll, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr)};
    if (file.handle == INVALID_HANDLE_VALUE)
        return lastFailure();
    if (::GetFileType(file.handle) != FILE_TYPE_DISK)
        return Error{notAFile(path)};
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(file.handle, &size))
        return lastFailure();
    int fd = descriptorOf(file.release());
    if (fd < 0)
        return Error{systemReason(EMFILE)};
    return OpenFile(fd, static_cast<std::uint64_t>(size.QuadPart));
}

Result<std::vector<unsigned char>> OpenFile::readAt(std::uint64_t offset, std::size_t size) const {
    std::vector<unsigned char> bytes(size);
    std::size_t got = 0;
    while (got < size) {
        auto piece = static_cast<DWORD>(std::min<std::size_t>(size - got, 1 << 30));
        OVERLAPPED where = at(offset + got);
        DWORD n = 0;
        if (!::ReadFile(handleOf(fd_), bytes.data() + got, piece, &n, &where)) {
            if (::GetLastError() == ERROR_HANDLE_EOF)
                break;
            return lastFailure();
        }
        if (n == 0)
            break;
        got += n;
    }
    bytes.resize(got);
    return bytes;
}

Status OpenFile::writeAt(std::uint64_t offset, std::span<const unsigned char> bytes) {
    if (DWORD error = writeAll(handleOf(fd_), bytes, offset))
        return failure(error);
    return success();
}

Status OpenFile::sync() {
    if (!::FlushFileBuffers(handleOf(fd_)))
        return lastFailure();
    return success();
}

Status OpenFile::replaceAll(std::span<const unsigned char> bytes) {
    // The space is taken first, so that a full disk is found before a byte changes.
    if (bytes.size() > size_) {
        if (auto grown = setLength(handleOf(fd_), bytes.size()); !grown)
            return grown;
    }
    if (auto written = writeAt(0, bytes); !written)
        return written;
    if (auto cut = setLength(handleOf(fd_), bytes.size()); !cut)
        return cut;
    size_ = bytes.size();
    return sync();
}

FileKind FileKind::of(const OpenFile&) {
    // A replace gives the new file the attributes and security of the one it replaces.
    return {};
}

Result<std::string> writeTemporaryFile(const std::string& folder,
                                       std::span<const unsigned char> bytes, const FileKind&,
                                       bool sync) {
    return makeTemporaryFile(folder, sync, [&](HANDLE file) { return writeAll(file, bytes, 0); });
}

Result<std::string> copyToTemporaryFile(const OpenFile& source, const std::string& folder,
                                        std::size_t limit) {
    if (source.size() > limit)
        return Error{"the file is " + std::to_string(source.size()) + " bytes long, more than " +
                     std::to_string(limit)};
    bool tooLong = false;
    std::string readError;
    auto copied = makeTemporaryFile(folder, true, [&](HANDLE file) -> DWORD {
        for (std::uint64_t done = 0;;) {
            auto piece = source.readAt(done, 1 << 16);
            if (!piece) {
                readError = piece.error();
                return ERROR_READ_FAULT;
            }
            if (piece->empty())
                return 0;
            if (done + piece->size() > limit) {
                tooLong = true;
                return ERROR_FILE_TOO_LARGE;
            }
            if (DWORD error = writeAll(file, *piece, done))
                return error;
            done += piece->size();
        }
    });
    if (tooLong)
        return Error{fileTooLong(limit)};
    if (!readError.empty())
        return Error{readError};
    return copied;
}

Status renameOver(const std::string& from, const std::string& to) {
    std::wstring source = widened(from), target = widened(to);
    // The replaced file's attributes and security go over to the new one; where the file
    // system cannot replace so, a plain move takes its place.
    if (::GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES &&
        ::ReplaceFileW(target.c_str(), source.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                       nullptr, nullptr))
        return success();
    if (!::MoveFileExW(source.c_str(), target.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return lastFailure();
    return success();
}

Status syncFolder(const std::string&) {
    // MOVEFILE_WRITE_THROUGH and ReplaceFileW have the entries on the disk already.
    return success();
}

FolderLock::FolderLock(FolderLock&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

FolderLock::~FolderLock() {
    if (fd_ >= 0)
        ::_close(fd_); // gives up the lock
}

Result<FolderLock> lockFolder(const std::string& folder, bool make) {
    std::string path = folder + "/" + kFolderLockName;
    Handle file{::CreateFileW(widened(path).c_str(), GENERIC_READ, kShareAll, nullptr,
                              make ? OPEN_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_HIDDEN, nullptr)};
    if (file.handle == INVALID_HANDLE_VALUE && !make && missing(::GetLastError()))
        return FolderLock(-1);
    if (file.handle == INVALID_HANDLE_VALUE)
        return lastFailure();
    auto deadline = std::chrono::steady_clock::now() + kLockWait;
    for (;;) {
        OVERLAPPED where = at(0);
        if (::LockFileEx(file.handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                         &where))
            break;
        if (DWORD error = ::GetLastError();
            error != ERROR_LOCK_VIOLATION && error != ERROR_IO_PENDING)
            return failure(error);
        if (std::chrono::steady_clock::now() >= deadline)
            return Error{kFolderBusy};
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    int fd = descriptorOf(file.release());
    if (fd < 0)
        return Error{systemReason(EMFILE)};
    return FolderLock(fd);
}

} // namespace quillfen
