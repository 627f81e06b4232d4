#pragma once

#include "profiles/profile_store.h"

namespace quillfen {

// The machine registry of the Windows this program runs on (Windows only), seen as the game, a
// 32-bit program, sees it: its view of HKEY_LOCAL_MACHINE, read through the host layer, and
// database paths read as the system reads them, in full.
class WindowsRegistryStore : public ProfileStore {
public:
    std::string EnumRegKey(const std::string& keyPath, std::int32_t position) override;
    std::string GetRegValue(const std::string& keyPath, const std::string& valueName) override;
    std::string hostPath(const std::string& windowsPath) override;
};

} // namespace quillfen
