#pragma once

#include "common/result.h"
#include "profiles/profile_load_save.h"

#include <string>
#include <vector>

namespace quillfen {

namespace settings {

// The settings file (see settingsPath) and its defaults.
inline constexpr char kFileName[] = "profile.txt";
inline constexpr char kDefaultStartupFolder[] = "c:";
// In the settings folder: the version whose disclaimer the user agreed to.
inline constexpr char kAgreementFileName[] = "agreed.txt";
// In the settings folder: where the player left off (see LastPlace).
inline constexpr char kLastPlaceFileName[] = "last.txt";

// The lines of the settings file, as Windows-1252 bytes: the folder the folder list starts in,
// the registry key path of the game's profiles, and, once the player chose them, the game's
// folder (a third line, which the game's editor never read; earlier versions kept the folder of
// the game's graphics there) and the folders of DOS graphics for the previews (a line each).
struct Settings {
    std::string startupFolder = kDefaultStartupFolder;
    std::string usersKeyPath = kDefaultUsersKeyPath;
    std::string gameFolder = {};
    std::vector<std::string> dosGraphicsFolders = {};
};

// The settings file in use: the one in the working folder when there is one there, as older
// versions kept it, else the one in the settings folder (see settingsFolder), whether it is
// there yet or not.
std::string settingsPath();

// Reads the file's lines, each up to its carriage return or line feed. What the file does not
// give (no file, fewer lines, an empty line) keeps its default.
Settings readSettings(const std::string& path);

// Creates the file anew with the two lines, and the others when there are folders chosen, each
// ended by CR LF, and its folder when it is missing. The old file stays whole when the new one
// cannot be written; the error carries the system's reason.
Status writeSettings(const std::string& path, const Settings& settings);

// Whether the user agreed to the disclaimer of `version` at an earlier start.
bool agreedTo(const std::string& version);
// Keeps the user's agreement to the disclaimer of `version` in the settings folder.
Status keepAgreement(const std::string& version);

// Where the player left off, a line each (UTF-8): the folder list's last folder (a host path)
// and the profile loaded last; empty when there was none.
struct LastPlace {
    std::string folder;
    std::string profile;
};

// The place kept in the settings folder; empty fields when there is none.
LastPlace lastPlace();
// Keeps `place` in the settings folder for the next start.
Status keepLastPlace(const LastPlace& place);

// The host path (UTF-8) of a folder as the user writes it (Windows-1252): a drive path such as
// "c:\levels" mapped through the Wine prefix, anything else a host path as it is.
std::string hostFolder(const std::string& line, ProfileStore& store);

// The host folder (UTF-8) for a startup folder line: a drive path such as "c:" or "c:\levels" is
// mapped through the Wine prefix as the profile store maps paths, anything else is a host path
// used as it is. A line that names no existing folder gives the default's folder, and when even
// that is missing, the working folder.
std::string startupFolderPath(const std::string& line, ProfileStore& store);

} // namespace settings
} // namespace quillfen
