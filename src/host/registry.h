#pragma once

// The registry of the Windows this program runs on (Windows only), read only and as the game, a
// 32-bit program, sees it: its view of HKEY_LOCAL_MACHINE. Every text given and taken is UTF-8.

#include <optional>
#include <string>
#include <vector>

namespace quillfen {

// The names of the subkeys of `keyPath`, in the registry's order; none when it cannot be opened.
std::vector<std::string> registrySubkeys(const std::string& keyPath);

// The whole text of the value `valueName` of `keyPath` (a multi-string's texts with the zeros
// between them); nullopt when it cannot be read or is no text.
std::optional<std::string> registryValueText(const std::string& keyPath,
                                             const std::string& valueName);

// A Windows path such as a profile's database path, as the system reads it: in full, a relative
// one from the working folder. The path itself when the system cannot read it.
std::string fullWindowsPath(const std::string& path);

} // namespace quillfen
