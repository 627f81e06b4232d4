// The host layer on Windows: the registry, through the wide calls.
#include "host/registry.h"
#include "host/windows_text.h"

namespace quillfen {
namespace {

// An open key of the 32-bit view, closed when it goes.
struct Key {
    HKEY key = nullptr;
    explicit Key(const std::string& keyPath) {
        if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, widened(keyPath).c_str(), 0,
                            KEY_READ | KEY_WOW64_32KEY, &key) != ERROR_SUCCESS)
            key = nullptr;
    }
    ~Key() {
        if (key)
            ::RegCloseKey(key);
    }
};

} // namespace

std::vector<std::string> registrySubkeys(const std::string& keyPath) {
    std::vector<std::string> names;
    Key key(keyPath);
    if (!key.key)
        return names;
    // Key names are at most 255 characters.
    wchar_t name[256];
    DWORD length = 256;
    for (DWORD i = 0; ::RegEnumKeyExW(key.key, i, name, &length, nullptr, nullptr, nullptr,
                                      nullptr) == ERROR_SUCCESS;
         ++i, length = 256)
        names.push_back(narrowed(std::wstring_view(name, length)));
    return names;
}

std::optional<std::string> registryValueText(const std::string& keyPath,
                                             const std::string& valueName) {
    Key key(keyPath);
    if (!key.key)
        return std::nullopt;
    std::wstring name = widened(valueName);
    DWORD type = 0, size = 0;
    if (::RegQueryValueExW(key.key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    if (type != REG_SZ && type != REG_EXPAND_SZ && type != REG_MULTI_SZ)
        return std::nullopt;
    std::vector<wchar_t> data(size / sizeof(wchar_t) + 1, L'\0');
    DWORD got = static_cast<DWORD>(data.size() * sizeof(wchar_t));
    if (::RegQueryValueExW(key.key, name.c_str(), nullptr, &type,
                           reinterpret_cast<BYTE*>(data.data()), &got) != ERROR_SUCCESS)
        return std::nullopt;
    return narrowed(std::wstring_view(data.data(), got / sizeof(wchar_t)));
}

std::string fullWindowsPath(const std::string& path) {
    std::wstring wide = widened(path);
    DWORD size = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    std::wstring full(size, L'\0');
    DWORD length = size ? ::GetFullPathNameW(wide.c_str(), size, full.data(), nullptr) : 0;
    if (length == 0 || length >= size)
        return path;
    full.resize(length);
    return narrowed(full);
}

} // namespace quillfen
