#include "profiles/windows_registry_store.h"

#include "common/windows1252.h"
#include "host/windows_text.h"

#include <optional>
#include <vector>

namespace quillfen {
namespace {

// The ANSI registry calls read names and values into buffers of this many bytes, the closing
// zero included; what does not fit is not read.
constexpr std::size_t kBufferSize = 2048;

std::wstring wideText(const std::string& windows1252) {
    return widened(windows1252ToUtf8(windows1252));
}

// The text as the game's ANSI calls give it: up to its first zero, in Windows-1252 with "?"
// for what has no byte there; nullopt when it does not fit their buffer.
std::optional<std::string> ansiText(std::wstring_view text) {
    text = text.substr(0, text.find(L'\0'));
    std::string bytes = utf16ToWindows1252Lossy(std::u16string(text.begin(), text.end()));
    if (bytes.size() + 1 > kBufferSize)
        return std::nullopt;
    return bytes;
}

// An open key of the 32-bit view, closed when it goes.
struct Key {
    HKEY key = nullptr;
    explicit Key(const std::string& keyPath) {
        if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, wideText(keyPath).c_str(), 0,
                            KEY_READ | KEY_WOW64_32KEY, &key) != ERROR_SUCCESS)
            key = nullptr;
    }
    ~Key() {
        if (key)
            ::RegCloseKey(key);
    }
};

} // namespace

std::string WindowsRegistryStore::EnumRegKey(const std::string& keyPath, std::int32_t position) {
    Key key(keyPath);
    if (!key.key || position < 0)
        return kNotFound;
    // Key names are at most 255 characters.
    wchar_t name[256];
    DWORD length = 256;
    if (::RegEnumKeyExW(key.key, static_cast<DWORD>(position), name, &length, nullptr, nullptr,
                        nullptr, nullptr) != ERROR_SUCCESS)
        return kNotFound;
    return ansiText(std::wstring_view(name, length)).value_or(kNotFound);
}

std::string WindowsRegistryStore::GetRegValue(const std::string& keyPath,
                                              const std::string& valueName) {
    Key key(keyPath);
    if (!key.key)
        return kNotFound;
    std::wstring name = wideText(valueName);
    DWORD type = 0, size = 0;
    if (::RegQueryValueExW(key.key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return kNotFound;
    // Only text values are read (the game's profiles hold nothing else).
    if (type != REG_SZ && type != REG_EXPAND_SZ && type != REG_MULTI_SZ)
        return kNotFound;
    std::vector<wchar_t> data(size / sizeof(wchar_t) + 1, L'\0');
    DWORD got = static_cast<DWORD>(data.size() * sizeof(wchar_t));
    if (::RegQueryValueExW(key.key, name.c_str(), nullptr, &type,
                           reinterpret_cast<BYTE*>(data.data()), &got) != ERROR_SUCCESS)
        return kNotFound;
    return ansiText(std::wstring_view(data.data(), got / sizeof(wchar_t))).value_or(kNotFound);
}

std::string WindowsRegistryStore::hostPath(const std::string& windowsPath) {
    // The system's own reading of the path, so that a relative one is named in full.
    std::wstring path = wideText(windowsPath);
    DWORD size = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    std::wstring full(size, L'\0');
    DWORD length = size ? ::GetFullPathNameW(path.c_str(), size, full.data(), nullptr) : 0;
    if (length == 0 || length >= size)
        return windows1252ToUtf8(windowsPath);
    full.resize(length);
    return narrowed(full);
}

} // namespace quillfen
