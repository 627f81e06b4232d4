#pragma once

// What both Windows files of the host layer share (Windows only): handles that close
// themselves, Windows errors as errno words, whole writes and flushes.

#include "common/result.h"
#include "host/durable_calls.h"
#include "host/file_io.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <io.h>
#include <span>
#include <string>
#include <utility>
#include <windows.h>

namespace quillfen {

// The errno value whose words say what a Windows error says.
inline int errnoOf(DWORD error) {
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

inline Error failure(DWORD error) {
    return Error{systemReason(errnoOf(error))};
}

inline Error lastFailure() {
    return failure(::GetLastError());
}

inline HANDLE handleOf(int fd) {
    return reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
}

// A descriptor that owns `handle` (closed with it); -1, the handle closed, when none is left.
inline int descriptorOf(HANDLE handle) {
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

inline constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

inline OVERLAPPED at(std::uint64_t offset) {
    OVERLAPPED where{};
    where.Offset = static_cast<DWORD>(offset & 0xFFFFFFFF);
    where.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return where;
}

// Writes all of `bytes` at `offset`; 0, or the error of the write that failed.
inline DWORD writeAll(HANDLE file, std::span<const unsigned char> bytes, std::uint64_t offset) {
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

// Whether the error says that nothing is at the path.
inline bool missing(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
           error == ERROR_INVALID_NAME || error == ERROR_BAD_NETPATH ||
           error == ERROR_INVALID_DRIVE;
}

// Flushes a file's bytes to the disk; 0, or the error of the flush.
inline DWORD flush(HANDLE file, const std::string& path) {
    if (durableCallFails(DurableCall::FlushFile, path))
        return ERROR_WRITE_FAULT;
    return ::FlushFileBuffers(file) ? 0 : ::GetLastError();
}

} // namespace quillfen
