#pragma once

// What the Windows files of the host layer share (Windows only): handles that close themselves,
// Windows errors in the system's own words, whole writes and flushes.

#include "common/result.h"
#include "host/durable_calls.h"
#include "host/file_io.h"
#include "host/windows_text.h"

#include <algorithm>
#include <cstdint>
#include <cwctype>
#include <fcntl.h>
#include <io.h>
#include <span>
#include <string>
#include <utility>
#include <windows.h>

namespace quillfen {

// The system's own words for a Windows error, in UTF-8 as every message, without the
// line break and the full stop it ends them with.
inline std::string windowsReason(DWORD error) {
    wchar_t* text = nullptr;
    DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring words(text ? text : L"", length);
    ::LocalFree(text);
    while (!words.empty() && (std::iswspace(words.back()) || words.back() == L'.'))
        words.pop_back();
    if (words.empty())
        return "Windows error " + std::to_string(error);
    return narrowed(words);
}

inline Error failure(DWORD error) {
    return Error{windowsReason(error)};
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
