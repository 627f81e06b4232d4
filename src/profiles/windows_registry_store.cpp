#include "profiles/windows_registry_store.h"

#include "host/registry.h"
#include "profiles/wine_text.h"

namespace quillfen {
namespace {

// A text of the registry as the stores give it: up to its first zero, and only when the game's
// calls would read it whole.
std::string storeText(const std::string& utf8) {
    return registryText(utf8ToUtf16(utf8)).value_or(kNotFound);
}

} // namespace

std::string WindowsRegistryStore::EnumRegKey(const std::string& keyPath, std::int32_t position) {
    std::vector<std::string> subkeys = registrySubkeys(keyPath);
    if (position < 0 || static_cast<std::size_t>(position) >= subkeys.size())
        return kNotFound;
    return storeText(subkeys[static_cast<std::size_t>(position)]);
}

std::string WindowsRegistryStore::GetRegValue(const std::string& keyPath,
                                              const std::string& valueName) {
    // Only text values are read (the game's profiles hold nothing else).
    auto text = registryValueText(keyPath, valueName);
    return text ? storeText(*text) : kNotFound;
}

std::string WindowsRegistryStore::hostPath(const std::string& windowsPath) {
    // The system's own reading of the path, so that a relative one is named in full.
    return fullWindowsPath(windowsPath);
}

} // namespace quillfen
