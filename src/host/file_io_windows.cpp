// The host layer on Windows: what names what, and open files, through the wide calls on UTF-8
// paths, every file in binary.
#include "host/file_io.h"
#include "host/windows_handles.h"
#include "host/windows_text.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <utility>

namespace quillfen {
namespace {

Status setLength(HANDLE file, std::uint64_t length) {
    LARGE_INTEGER position;
    position.QuadPart = static_cast<LONGLONG>(length);
    if (!::SetFilePointerEx(file, position, nullptr, FILE_BEGIN) || !::SetEndOfFile(file))
        return lastFailure();
    return success();
}

// What the file open in `file` is.
PathInfo infoOf(HANDLE file, bool followLinks) {
    PathInfo found;
    BY_HANDLE_FILE_INFORMATION info{};
    if (::GetFileType(file) != FILE_TYPE_DISK || !::GetFileInformationByHandle(file, &info)) {
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
    return infoOf(file.handle, followLinks);
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

bool nameTooLong(const std::string& path) {
    // NTFS and FAT keep names of at most 255 UTF-16 units.
    return widened(fileNameOf(path)).size() > 255;
}

bool removeFile(const std::string& path) {
    return ::DeleteFileW(widened(path).c_str()) != 0;
}

Status makeLink(const std::string& target, const std::string& path) {
    std::wstring wide = widened(target);
    std::replace(wide.begin(), wide.end(), L'/', L'\\');
    DWORD flags = SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE;
    if (isFolder(pathIn(folderOf(path), target)))
        flags |= SYMBOLIC_LINK_FLAG_DIRECTORY;
    if (!::CreateSymbolicLinkW(widened(path).c_str(), wide.c_str(), flags))
        return lastFailure();
    // Some Wine versions say yes and make nothing.
    auto made = pathInfo(path, false);
    if (!made || made->kind != EntryKind::Link)
        return failure(ERROR_NOT_SUPPORTED);
    return success();
}

Status touchFile(const std::string& path) {
    Handle file{::CreateFileW(widened(path).c_str(), FILE_WRITE_ATTRIBUTES, kShareAll, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr)};
    if (file.handle == INVALID_HANDLE_VALUE)
        return lastFailure();
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    if (!::SetFileTime(file.handle, nullptr, nullptr, &now))
        return lastFailure();
    return success();
}

std::string currentFolder() {
    DWORD size = ::GetCurrentDirectoryW(0, nullptr);
    std::wstring folder(size, L'\0');
    folder.resize(::GetCurrentDirectoryW(size, folder.data()));
    return folder.empty() ? "." : narrowed(folder);
}

std::vector<std::string> fixedDrives() {
    std::vector<std::string> drives;
    DWORD present = ::GetLogicalDrives();
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        std::string drive{letter, ':'};
        if ((present & (1u << (letter - 'A'))) &&
            ::GetDriveTypeW(widened(drive + "\\").c_str()) == DRIVE_FIXED)
            drives.push_back(drive);
    }
    return drives;
}

std::string settingsFolder() {
    const wchar_t* appData = ::_wgetenv(L"APPDATA");
    if (appData && *appData)
        return pathIn(narrowed(appData), "Quillfen");
    return currentFolder();
}

Status createFolder(const std::string& folder) {
    return ::CreateDirectoryW(widened(folder).c_str(), nullptr) ? success() : lastFailure();
}

bool removeEmptyFolder(const std::string& folder) {
    return ::RemoveDirectoryW(widened(folder).c_str()) != 0;
}

char16_t hostLowerCase(char16_t unit) {
    wchar_t text[1] = {static_cast<wchar_t>(unit)};
    ::CharLowerBuffW(text, 1);
    return static_cast<char16_t>(text[0]);
}

OpenFile::OpenFile(OpenFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), size_(other.size_) {}

OpenFile::~OpenFile() {
    if (fd_ >= 0)
        ::_close(fd_);
}

Result<OpenFile> OpenFile::open(const std::string& path, bool forWriting) {
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

Result<PathInfo> OpenFile::info() const {
    return infoOf(handleOf(fd_), true);
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
    if (DWORD error = flush(handleOf(fd_), {}))
        return failure(error);
    return success();
}

Status OpenFile::lock() {
    // A byte far past the end of any file, so that the lock keeps no reader or writer from the
    // file's bytes: it only makes writers of this program wait for each other.
    OVERLAPPED where = at(std::uint64_t{1} << 62);
    auto deadline = std::chrono::steady_clock::now() + kLockWait;
    while (!::LockFileEx(handleOf(fd_), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1,
                         0, &where)) {
        if (DWORD error = ::GetLastError(); error != ERROR_LOCK_VIOLATION)
            return failure(error);
        if (std::chrono::steady_clock::now() >= deadline)
            return Error{kFileBusy};
        ::Sleep(10);
    }
    return success();
}

Status OpenFile::reserve(std::uint64_t size) {
    if (size <= size_)
        return success();
    if (auto grown = setLength(handleOf(fd_), size); !grown)
        return grown;
    size_ = size;
    return success();
}

Status OpenFile::replaceAll(std::span<const unsigned char> bytes) {
    // The space is taken first, so that a full disk is found before a byte changes.
    if (auto reserved = reserve(bytes.size()); !reserved)
        return reserved;
    if (durableCallFails(DurableCall::WriteInPlace, {}))
        return failure(ERROR_WRITE_FAULT);
    if (auto written = writeAt(0, bytes); !written)
        return written;
    if (durableCallFails(DurableCall::SetLength, {}))
        return failure(ERROR_WRITE_FAULT);
    if (auto cut = setLength(handleOf(fd_), bytes.size()); !cut)
        return cut;
    size_ = bytes.size();
    return sync();
}

FileKind FileKind::of(const OpenFile&) {
    // A replace gives the new file the attributes and security of the one it replaces.
    return {};
}

} // namespace quillfen
