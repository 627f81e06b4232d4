#include "profiles/windows_registry_store.h"

#include "host/windows_text.h"

#include <optional>
#include <vector>

namespace quillfen {
namespace {

// The text of a wide call, as the stores give it.
std::string textOf(std::wstring_view text) {
    auto units = std::u16string_view(reinterpret_cast<const char16_t*>(text.data()), text.size());
    return registryText(units).value_or(kNotFound);
}

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
    return textOf(std::wstring_view(name, length));
}

std::string WindowsRegistryStore::GetRegValue(const std::string& keyPath,
                                              const std::string& valueName) {
    Key key(keyPath);
    if (!key.key)
        return kNotFound;
    std::wstring name = widened(valueName);
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
    return textOf(std::wstring_view(data.data(), got / sizeof(wchar_t)));
}

std::string WindowsRegistryStore::hostPath(const std::string& windowsPath) {
    // The system's own reading of the path, so that a relative one is named in full.
    std::wstring path = widened(windowsPath);
    DWORD size = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    std::wstring full(size, L'\0');
    DWORD length = size ? ::GetFullPathNameW(path.c_str(), size, full.data(), nullptr) : 0;
    if (length == 0 || length >= size)
        return windowsPath;
    full.resize(length);
    return narrowed(full);
}

} // namespace quillfen
