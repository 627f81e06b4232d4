#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace quillfen {

// What the registry operations give instead of a result when the platform call fails.
inline constexpr char kNotFound[] = "Not Found";

// A name or text value that the registry holds, as a store gives it: UTF-8, up to its first
// zero; nullopt when it has 2048 characters or more, more than the game's calls read.
std::optional<std::string> registryText(std::u16string_view text);

// The game's registry below HKEY_LOCAL_MACHINE, read only, and the mapping of the Windows paths
// it holds to the host's files. Every text given and taken (key paths, names, values, Windows
// paths) is UTF-8: the registry keeps UTF-16, and a profile's name must come back exactly as it
// is, 中文 too, to be found again, as the game finds it under a system whose code page has those
// characters. So profile names and database paths are UTF-8 in the core, unlike the names read
// from files (Windows-1252 bytes); a message, UTF-8 too, names one as it is. Texts are read up to
// their first zero (registryText).
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
    // The Wine prefix folder whose drive_c this store's paths reach; empty for Windows' own
    // registry, whose drives are the host's.
    virtual std::string winePrefix() const { return {}; }
};

// The machine registry of a Wine prefix (its system.reg), and its drives (dosdevices/).
class WinePrefixStore : public ProfileStore {
public:
    // `prefix` is the prefix folder; see defaultPrefix().
    explicit WinePrefixStore(std::string prefix);
    ~WinePrefixStore() override;

    // $WINEPREFIX, else ~/.wine.
    static std::string defaultPrefix();
    std::string winePrefix() const override;

    std::string EnumRegKey(const std::string& keyPath, std::int32_t position) override;
    std::string GetRegValue(const std::string& keyPath, const std::string& valueName) override;
    std::string hostPath(const std::string& windowsPath) override;
    std::string unreadable() override;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace quillfen
