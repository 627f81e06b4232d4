#pragma once

#include <string>
#include <vector>

namespace quillfen {

inline constexpr char kNoWinePrefixes[] =
    "WARNING: found no Wine prefix that holds your lemmings profiles";

// A Wine prefix that holds the game's profiles, and who made it.
struct FoundPrefix {
    std::string path;
    // "WINEPREFIX", "Wine", "Lutris", "Bottles", "Bottles (Flatpak)", "PlayOnLinux" or
    // "wineprefixes".
    std::string launcher;
    // Below the users key, in the registry's order (UTF-8, as ProfileStore gives them).
    std::vector<std::string> profiles;

    bool operator==(const FoundPrefix&) const = default;
};

// The profile names below `usersKeyPath` in the prefix folder `prefix`, without a word to the
// user; none when its system.reg is missing or is not a regular file (a pipe or a device, which
// could block the read).
std::vector<std::string> prefixProfiles(const std::string& prefix, const std::string& usersKeyPath);

// The prefixes that hold at least one profile below `usersKeyPath`: `winePrefixEnv` (the value
// of $WINEPREFIX, skipped when empty), `home`/.wine, then the folders in which Lutris, Bottles
// (native and Flatpak), PlayOnLinux and winetricks keep one prefix each a subfolder, each
// folder's subfolders in the order of their names. A folder with a system.reg is a prefix; a
// prefix reached twice, through a link or another spelling, is listed once, where first found.
// Folders that cannot be read, links to nowhere and registries that are not regular files are
// passed over.
std::vector<FoundPrefix> findWinePrefixes(const std::string& home, const std::string& winePrefixEnv,
                                          const std::string& usersKeyPath);

} // namespace quillfen
