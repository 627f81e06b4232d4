#include "preview/game_graphics.h"

#include "host/file_io.h"

#include <algorithm>
#include <cctype>

namespace quillfen::preview {
namespace {

// The names of a set's files in the Windows game's styles/ folder.
struct WindowsNames {
    std::string ground, terrain, objects, palette;
};

WindowsNames windowsNames(unsigned set) {
    if (set < 5) {
        std::string stem = "level" + std::to_string(set);
        return {"ground" + std::to_string(set) + "o.dat", stem + "b.spr", stem + "ob.spr",
                stem + ".pal"};
    }
    const std::string stem = kGraphicsSetNames[set];
    // The bubble set's ground file alone has the plural.
    std::string ground = set == 8 ? "bubbles.dat" : stem + ".dat";
    return {ground, stem + "b.spr", stem + "ob.spr", stem + ".pal"};
}

// A DOS folder's set `n`: GROUNDnO.DAT and VGAGRn.DAT.
std::pair<std::string, std::string> dosNames(unsigned n) {
    return {"GROUND" + std::to_string(n) + "O.DAT", "VGAGR" + std::to_string(n) + ".DAT"};
}

constexpr unsigned kSequelSets = 5; // the sequel's sets 0-3 are 5-8

std::string lowerCase(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// A folder's entries of one kind by their lower-case names. A FIFO or a device counts as a
// file: a graphics file's name on one is found, and its read says that it is not a file.
std::map<std::string, std::string> entriesByName(const std::string& folder, EntryKind kind) {
    std::map<std::string, std::string> names;
    for (const FolderEntry& entry : listFolder(folder))
        if (entry.kind == kind || (kind == EntryKind::File && entry.kind == EntryKind::Other))
            names.emplace(lowerCase(entry.name), entry.name);
    return names;
}

// The path of `name` in `folder` as the folder spells it, or as given when it is not there.
std::string spelled(const std::string& folder, const std::map<std::string, std::string>& files,
                    const std::string& name) {
    auto found = files.find(lowerCase(name));
    return pathIn(folder, found == files.end() ? name : found->second);
}

// The folder of `file` and up to four above it.
void addFoldersAbove(const std::string& file, std::vector<std::string>& places) {
    if (file.empty())
        return;
    std::string folder = folderOf(file);
    for (int level = 0; level <= 4; ++level) {
        // A relative path runs out at the working folder, whose own folders lie above it.
        if (folder == ".")
            folder = currentFolder();
        places.push_back(folder);
        std::string above = folderOf(folder);
        if (above == folder)
            break;
        folder = above;
    }
}

std::string setText(unsigned set) {
    std::string text = "graphics set " + std::to_string(set) + " (styles/";
    text.append(windowsNames(set).ground).append(", or the DOS ");
    auto [ground, pictures] = dosNames(set < kSequelSets ? set : set - kSequelSets);
    text.append(set < kSequelSets ? "game's " : "sequel's ").append(ground).append(" and ");
    return text.append(pictures).append(")");
}

} // namespace

FolderSets graphicsIn(const std::string& folder) {
    FolderSets sets;
    auto files = entriesByName(folder, EntryKind::File);
    bool sequel = std::any_of(files.begin(), files.end(), [](const auto& file) {
        return file.first.starts_with("dlvel") && file.first.ends_with(".dat");
    });
    for (unsigned n = 0; n < (sequel ? 4u : 5u); ++n) {
        auto [ground, pictures] = dosNames(n);
        if (files.contains(lowerCase(ground)) && files.contains(lowerCase(pictures)))
            sets[sequel ? n + kSequelSets : n] =
                SetFiles{.ground = spelled(folder, files, ground),
                         .pictures = spelled(folder, files, pictures)};
    }
    auto folders = entriesByName(folder, EntryKind::Folder);
    auto styles = folders.find("styles");
    if (styles == folders.end())
        return sets;
    std::string stylesFolder = pathIn(folder, styles->second);
    auto styleFiles = entriesByName(stylesFolder, EntryKind::File);
    for (unsigned set = 0; set < kGraphicsSets; ++set) {
        WindowsNames names = windowsNames(set);
        if (!styleFiles.contains(names.ground))
            continue;
        sets[set] = SetFiles{true, spelled(stylesFolder, styleFiles, names.ground),
                             spelled(stylesFolder, styleFiles, names.terrain),
                             spelled(stylesFolder, styleFiles, names.objects),
                             spelled(stylesFolder, styleFiles, names.palette)};
    }
    return sets;
}

const FolderSets& GameGraphics::setsIn(const std::string& folder) {
    auto known = folders_.find(folder);
    if (known == folders_.end())
        known = folders_.emplace(folder, graphicsIn(folder)).first;
    return known->second;
}

const std::vector<std::string>& GameGraphics::prefixFolders(const std::string& prefix) {
    auto known = prefixes_.find(prefix);
    if (known != prefixes_.end())
        return known->second;
    std::vector<std::string> folders;
    // The game installs into a folder of drive C: or of one of its "Program Files" folders.
    std::string driveC = pathIn(prefix, "drive_c");
    for (const auto& [lower, name] : entriesByName(driveC, EntryKind::Folder)) {
        std::string path = pathIn(driveC, name);
        folders.push_back(path);
        if (lower.starts_with("program files"))
            for (const auto& entry : entriesByName(path, EntryKind::Folder))
                folders.push_back(pathIn(path, entry.second));
    }
    return prefixes_.emplace(prefix, std::move(folders)).first->second;
}

Result<const GraphicsSet*> GameGraphics::find(unsigned set, const GraphicsPlaces& places) {
    if (set >= kGraphicsSets)
        return Error{"ERROR: " + levelfile::notAGraphicsSet(set)};
    std::vector<std::string> folders = places.chosen;
    addFoldersAbove(places.levelFile, folders);
    addFoldersAbove(places.databaseFile, folders);
    std::size_t named = folders.size();
    if (!places.winePrefix.empty()) {
        const auto& inPrefix = prefixFolders(places.winePrefix);
        folders.insert(folders.end(), inPrefix.begin(), inPrefix.end());
    }
    for (const std::string& folder : folders) {
        const std::optional<SetFiles>& files = setsIn(folder)[set];
        if (!files)
            continue;
        auto kept = sets_.find(*files);
        if (kept == sets_.end()) {
            auto loaded = loadGraphicsSet(*files);
            if (!loaded)
                return Error{loaded.error()};
            kept = sets_.emplace(*files, std::move(*loaded)).first;
        }
        return &kept->second;
    }

    std::string message = kNoGraphicsFound + setText(set) + " in ";
    std::vector<std::string> searched;
    for (std::size_t i = 0; i < named; ++i)
        if (std::find(searched.begin(), searched.end(), folders[i]) == searched.end())
            searched.push_back(folders[i]);
    if (!places.winePrefix.empty()) {
        std::string driveC = pathIn(places.winePrefix, "drive_c");
        searched.push_back("the folders in " + driveC + " and in " +
                           pathIn(driveC, "Program Files*"));
    }
    if (searched.empty())
        return Error{message + "no folder: none was given"};
    for (std::size_t i = 0; i < searched.size(); ++i)
        message.append(i == 0 ? "" : ", ").append(searched[i]);
    return Error{message};
}

} // namespace quillfen::preview
