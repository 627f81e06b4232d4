#pragma once

#include "profiles/profile_load_save.h"

#include <optional>
#include <string>
#include <string_view>

namespace quillfen {

// How the game's folder was found.
enum class GameFolderSource { Given, Chosen, Profile, DriveC };

// The word for a source in the tool's output: "given", "chosen", "profile", "drive_c".
std::string_view gameFolderSourceName(GameFolderSource source);

// The folder the game is installed in, which holds LEVEL\ (a folder for each group) and STYLES\.
// Paths are UTF-8, as host paths and the registry's paths are.
struct GameFolder {
    std::string hostPath;
    std::string windowsPath; // as the game sees it: "C:\LEMM"
    GameFolderSource source = GameFolderSource::Given;
    // The Wine prefix whose drives an absolute Windows path goes through; empty for the host's
    // own drives (Windows).
    std::string winePrefix = {};
};

// The host folder of a group: <game>\LEVEL\<folderText>, found on disk as levelFileHostPath finds
// it; a folderText that is an absolute Windows path is that folder.
std::string groupFolderHostPath(const GameFolder& game, const std::string& folderText);
// The host file of a level node: <game>\LEVEL\<folderText>\<fileName>, where folderText and
// fileName are the tree's texts (Windows-1252). Each name is found on disk without regard to
// case, as Wine finds it, and kept as given where nothing matches. A folderText that is an
// absolute Windows path ("C:\LEVELS", "\LEVELS") is that folder, through the prefix's drives.
std::string levelFileHostPath(const GameFolder& game, const std::string& folderText,
                              const std::string& fileName);
// The same file as the game names it (UTF-8): "C:\LEMM\LEVEL\CUST\tunnel.lvl", the texts as the
// tree spells them.
std::string levelFileWindowsPath(const GameFolder& game, const std::string& folderText,
                                 const std::string& fileName);

// The Windows path (UTF-8) under which the game sees the host folder `hostFolder`: through the
// drives of the prefix `winePrefix` (C: is its drive_c, Z: the host's root), or the path itself
// on Windows (an empty `winePrefix`).
std::string windowsPathOf(const std::string& hostFolder, const std::string& winePrefix);

// Where the game may be, in the order the search tries them.
struct GameSearch {
    std::string given;                  // --game DIR: the one folder taken, when set
    std::string chosen;                 // Options > Game folder...; skipped when it is gone
    std::optional<ProfilePath> profile; // the loaded profile's database file
    std::string winePrefix;             // empty: the host's fixed drives (Windows)
};

// The game's folder: the given folder; else the chosen one; else the profile file's folder or the
// one above it, when it holds LEVEL; else a folder one or two levels below the top of drive C:
// (the prefix's drive_c, or on Windows each fixed drive) or below its Program Files* folders
// that holds LEVEL and STYLES. Names in any case. Nothing when none is found.
std::optional<GameFolder> findGameFolder(const GameSearch& search);

// The refusal of a search that found nothing, naming the places searched and what to do.
std::string gameFolderNotFound(const GameSearch& search);

} // namespace quillfen
