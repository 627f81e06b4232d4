#pragma once

#include <cstdint>
#include <memory>
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
    // The host path of a Windows path such as "C:\LEMM\USERS\ALICE.DAT", as Windows reads it; a
    // relative path is read from the working folder.
    virtual std::string hostPath(const std::string& windowsPath) = 0;
    // Why the registry could not be read at the last lookup, as the user's message; empty when
    // it was read (a registry that is not there at all holds no keys).
    virtual std::string unreadable() { return {}; }
};

// The machine registry of a Wine prefix (its system.reg), and its drives (dosdevices/).
class WinePrefixStore : public ProfileStore {
public:
    // `prefix` is the prefix folder; see defaultPrefix().
    explicit WinePrefixStore(std::string prefix);
    ~WinePrefixStore() override;

    // $WINEPREFIX, else ~/.wine.
    static std::string defaultPrefix();
    const std::string& prefix() const;

    std::string EnumRegKey(const std::string& keyPath, std::int32_t position) override;
    std::string GetRegValue(const std::string& keyPath, const std::string& valueName) override;
    std::string hostPath(const std::string& windowsPath) override;
    std::string unreadable() override;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace quillfen
