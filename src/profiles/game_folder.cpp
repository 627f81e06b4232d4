#include "profiles/game_folder.h"

#include "common/windows1252.h"
#include "host/file_io.h"
#include "profiles/windows_paths.h"
#include "profiles/wine_paths.h"

#include <algorithm>
#include <cctype>
#include <map>

namespace quillfen {
namespace {

std::string lowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](char c) {
        return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    });
    return text;
}

bool isAbsoluteWindowsPath(std::string_view path) {
    return hasDriveLetter(path) || (!path.empty() && (path[0] == '\\' || path[0] == '/'));
}

std::string joinedWindowsNames(const std::vector<std::string>& names, std::size_t from) {
    std::string path;
    for (std::size_t i = from; i < names.size(); ++i)
        path.append("\\").append(names[i]);
    return path.empty() ? "\\" : path;
}

// Whether `folder` holds the game's LEVEL folder (and STYLES, when asked), names in any case.
bool holdsGame(const std::string& folder, bool withStyles) {
    return isFolder(hostPathBelow(folder, "LEVEL")) &&
           (!withStyles || isFolder(hostPathBelow(folder, "STYLES")));
}

// The tops of the drives where the game installs: the prefix's drive_c, or each fixed drive.
std::vector<std::string> driveTops(const std::string& winePrefix) {
    if (!winePrefix.empty())
        return {pathIn(winePrefix, "drive_c")};
    std::vector<std::string> tops;
    for (const std::string& drive : fixedDrives())
        tops.push_back(drive + "\\");
    return tops;
}

// A folder one or two levels below a drive's top or its Program Files* folders that holds the
// game; empty when there is none.
std::string installBelow(const std::string& top) {
    std::vector<std::string> roots = {top};
    std::vector<std::string> firstLevel;
    for (const std::string& folder : subfoldersOf(top)) {
        std::string name = lowerCase(fileNameOf(folder));
        // Windows' own folder is large and never holds the game.
        if (name == "windows")
            continue;
        if (name.starts_with("program files"))
            roots.push_back(folder);
        firstLevel.push_back(folder);
    }
    for (const std::string& root : roots) {
        std::vector<std::string> below = root == top ? firstLevel : subfoldersOf(root);
        for (const std::string& folder : below)
            if (holdsGame(folder, true))
                return folder;
        for (const std::string& folder : below)
            for (const std::string& inner : subfoldersOf(folder))
                if (holdsGame(inner, true))
                    return inner;
    }
    return {};
}

} // namespace

std::string_view gameFolderSourceName(GameFolderSource source) {
    switch (source) {
    case GameFolderSource::Given:
        return "given";
    case GameFolderSource::Chosen:
        return "chosen";
    case GameFolderSource::Profile:
        return "profile";
    case GameFolderSource::DriveC:
        return "drive_c";
    }
    return {};
}

std::string groupFolderHostPath(const GameFolder& game, const std::string& folderText) {
    std::string folder = windows1252ToUtf8(folderText);
    if (!isAbsoluteWindowsPath(folder))
        return hostPathBelow(game.hostPath, "LEVEL\\" + folder);
    if (!game.winePrefix.empty())
        return hostPathInPrefix(game.winePrefix, folder);
    if (hasDriveLetter(folder))
        return hostPathBelow(folder.substr(0, 2), folder.substr(2));
    return hostPathBelow(driveOf(game.hostPath), folder);
}

std::string levelFileHostPath(const GameFolder& game, const std::string& folderText,
                              const std::string& fileName) {
    // windowsNames keeps a file name's ".." from leaving the folder.
    return hostPathBelow(groupFolderHostPath(game, folderText), windows1252ToUtf8(fileName));
}

std::string levelFileWindowsPath(const GameFolder& game, const std::string& folderText,
                                 const std::string& fileName) {
    std::string folder = windows1252ToUtf8(folderText);
    if (!isAbsoluteWindowsPath(folder))
        folder = game.windowsPath + "\\LEVEL\\" + folder;
    else if (!hasDriveLetter(folder))
        folder = (hasDriveLetter(game.windowsPath) ? game.windowsPath.substr(0, 2) : "C:") + folder;
    while (folder.ends_with('\\') || folder.ends_with('/'))
        folder.pop_back();
    return folder + "\\" + windows1252ToUtf8(fileName);
}

std::string windowsPathOf(const std::string& hostFolder, const std::string& winePrefix) {
    std::string path = isRootedPath(hostFolder) ? hostFolder : pathIn(currentFolder(), hostFolder);
    std::vector<std::string> names = namesOf(path);
    if (winePrefix.empty()) {
        std::string drive = driveOf(path);
        return (drive.empty() ? "C:" : drive) + joinedWindowsNames(names, 0);
    }
    // The drive whose folder holds the path most closely: c: (drive_c) before z: (the root).
    std::vector<std::pair<std::string, std::string>> drives = {
        {"c:", pathIn(winePrefix, "drive_c")}, {"z:", "/"}};
    std::string devices = pathIn(winePrefix, "dosdevices");
    for (const FolderEntry& entry : listFolder(devices)) {
        if (entry.name.size() != 2 || entry.name[1] != ':')
            continue;
        std::string device = pathIn(devices, entry.name);
        drives.emplace_back(entry.name, device);
        if (auto target = linkTarget(device))
            drives.emplace_back(entry.name, *target);
    }
    std::string drive;
    std::size_t depth = 0;
    for (const auto& [letter, folder] : drives) {
        std::vector<std::string> folderNames = namesOf(folder);
        bool inside = folderNames.size() <= names.size() &&
                      std::equal(folderNames.begin(), folderNames.end(), names.begin());
        if (inside && (drive.empty() || folderNames.size() > depth)) {
            drive = letter;
            depth = folderNames.size();
        }
    }
    if (drive.empty())
        return "Z:" + joinedWindowsNames(names, 0);
    drive[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(drive[0])));
    return drive + joinedWindowsNames(names, depth);
}

std::optional<GameFolder> findGameFolder(const GameSearch& search) {
    auto found = [&](const std::string& hostPath, GameFolderSource source) {
        return GameFolder{hostPath, windowsPathOf(hostPath, search.winePrefix), source,
                          search.winePrefix};
    };
    if (!search.given.empty()) {
        if (!isFolder(search.given))
            return std::nullopt;
        return found(search.given, GameFolderSource::Given);
    }
    if (!search.chosen.empty() && isFolder(search.chosen))
        return found(search.chosen, GameFolderSource::Chosen);
    if (search.profile && !search.profile->hostPath.empty()) {
        // The profiles' files lie in the game's folder or in a folder of it (LEMM\USERS).
        std::string folder = folderOf(search.profile->hostPath);
        for (int up = 0; up < 2; ++up, folder = folderOf(folder))
            if (holdsGame(folder, false))
                return found(folder, GameFolderSource::Profile);
    }
    for (const std::string& top : driveTops(search.winePrefix))
        if (std::string install = installBelow(top); !install.empty())
            return found(install, GameFolderSource::DriveC);
    return std::nullopt;
}

std::string gameFolderNotFound(const GameSearch& search) {
    if (!search.given.empty())
        return "the game's folder " + search.given + " is not a folder";
    std::vector<std::string> places;
    if (!search.chosen.empty())
        places.push_back(search.chosen);
    if (search.profile && !search.profile->hostPath.empty())
        places.push_back(folderOf(search.profile->hostPath) + " and the folder above it");
    for (const std::string& top : driveTops(search.winePrefix))
        places.push_back(
            "the folders in " + top + " and in " +
            (isSeparator(top.back()) ? top + "Program Files*" : pathIn(top, "Program Files*")));
    std::string message = "found no game folder (one that holds LEVEL and STYLES) in ";
    if (places.empty())
        message += "no place";
    for (std::size_t i = 0; i < places.size(); ++i)
        message.append(i == 0 ? "" : ", ").append(places[i]);
    return message + "; choose it with Options > Game folder... (--game DIR on the command line)";
}

} // namespace quillfen
