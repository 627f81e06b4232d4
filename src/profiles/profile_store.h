#pragma once

#include <cstdint>
#include <string>

namespace quillfen {

// What the registry operations give instead of a result when the platform call fails.
inline constexpr char kNotFound[] = "Not Found";

// The game's registry below HKEY_LOCAL_MACHINE, read only, and the mapping of the Windows paths
// it holds to the host's files. Every text is Windows-1252 bytes, as the ANSI calls give them.
class ProfileStore {
public:
    virtual ~ProfileStore() = default;

    // The name of the subkey at 0-based `position` below `keyPath`, or kNotFound.
    virtual std::string EnumRegKey(const std::string& keyPath, std::int32_t position) = 0;
    // The text of a value of the key `keyPath`, or kNotFound.
    virtual std::string GetRegValue(const std::string& keyPath, const std::string& valueName) = 0;
    // The host path of a Windows path such as "C:\LEMM\USERS\ALICE.DAT" (a host path as it is).
    virtual std::string hostPath(const std::string& windowsPath) = 0;
};

} // namespace quillfen
