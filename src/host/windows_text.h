#pragma once

// Texts at the edge of the Windows API (Windows only): UTF-8 inside the program, UTF-16 in the
// wide calls.

#include <string>
#include <string_view>
#include <windows.h>

namespace quillfen {

inline std::wstring widened(std::string_view utf8) {
    if (utf8.empty())
        return {};
    int size = static_cast<int>(utf8.size());
    int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), n);
    return wide;
}

inline std::string narrowed(std::wstring_view wide) {
    if (wide.empty())
        return {};
    int size = static_cast<int>(wide.size());
    int n = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), n, nullptr, nullptr);
    return utf8;
}

} // namespace quillfen
