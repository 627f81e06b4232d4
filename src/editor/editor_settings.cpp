// The Editor's start-up and settings: the disclaimer, the settings file, the last folder and
// profile, the startup folder, and the game's and the DOS graphics' folders.
#include "common/windows1252.h"
#include "editor/editor.h"
#include "editor/settings_file.h"
#include "host/file_io.h"

#include <algorithm>

namespace quillfen {
namespace {

constexpr char kSettingsNotWritten[] = "ERROR: cannot write the settings file: ";

} // namespace

std::optional<StartUp> Editor::startUp() {
    if (!settings::agreedTo(kVersion)) {
        if (!ui_.agree(kDisclaimer, kDisclaimerTitle))
            return std::nullopt;
        // Not kept, it is asked again at the next start.
        (void)settings::keepAgreement(kVersion);
    }
    // A folder that cannot be written leaves the defaults to serve; the tool works without it.
    const std::string path = settings::settingsPath();
    if (auto info = pathInfo(path); !info || info->kind == EntryKind::Missing)
        (void)settings::writeSettings(path, settings::Settings{});
    settings::Settings startup = settings::readSettings(path);
    state_.usersKeyPath = startup.usersKeyPath;
    if (!startup.gameFolder.empty())
        chosenGameFolder_ = settings::hostFolder(startup.gameFolder, *store_);
    dosGraphicsFolders_.clear();
    for (const std::string& folder : startup.dosGraphicsFolders)
        dosGraphicsFolders_.push_back(settings::hostFolder(folder, *store_));
    findGame();
    StartUp result;
    lastPlace_ = settings::lastPlace();
    result.startFolder = !lastPlace_.folder.empty() && isFolder(lastPlace_.folder)
                             ? lastPlace_.folder
                             : settings::startupFolderPath(startup.startupFolder, *store_);
    result.profiles = profiles();
    if (std::ranges::find(result.profiles, lastPlace_.profile) != result.profiles.end())
        result.profile = lastPlace_.profile;
    else if (!result.profiles.empty())
        result.profile = result.profiles.front();
    shownProfile_ = result.profile;
    return result;
}

void Editor::keepLastPlace(const settings::LastPlace& place) {
    if (place.folder == lastPlace_.folder && place.profile == lastPlace_.profile)
        return;
    lastPlace_ = place;
    // Not kept, the next start opens the startup folder or the first profile: no harm done.
    (void)settings::keepLastPlace(lastPlace_);
}

// The settings file's other lines stay as they are.
bool Editor::changeSettings(const std::function<void(settings::Settings&)>& change) {
    const std::string path = settings::settingsPath();
    settings::Settings stored = settings::readSettings(path);
    change(stored);
    Status written = settings::writeSettings(path, stored);
    if (!written)
        ui_.message(kSettingsNotWritten + written.error());
    return written.ok();
}

void Editor::setStartupFolder() {
    // The settings file keeps its folder as the game's other texts, in Windows-1252.
    std::optional<std::string> folder = utf8ToWindows1252(levelFolder_);
    if (!folder) {
        ui_.message(kUnstorableText);
        return;
    }
    if (!changeSettings([&](settings::Settings& stored) {
            stored.startupFolder = *folder;
            stored.usersKeyPath = state_.usersKeyPath;
        }))
        return;
    tell("Startup folder has been set to '" + levelFolder_ + "'", true);
}

void Editor::chooseGameFolder(const std::string& hostFolder) {
    std::optional<std::string> line = utf8ToWindows1252(hostFolder);
    if (!line) {
        ui_.message(kUnstorableText);
        return;
    }
    chosenGameFolder_ = hostFolder;
    findGame();
    changeSettings([&](settings::Settings& stored) { stored.gameFolder = *line; });
}

void Editor::chooseDosGraphicsFolder(const std::string& hostFolder) {
    std::optional<std::string> line = utf8ToWindows1252(hostFolder);
    if (!line) {
        ui_.message(kUnstorableText);
        return;
    }
    auto toggle = [&](std::vector<std::string>& folders, const std::string& folder) {
        auto there = std::find(folders.begin(), folders.end(), folder);
        if (there == folders.end())
            folders.push_back(folder);
        else
            folders.erase(there);
    };
    toggle(dosGraphicsFolders_, hostFolder);
    changeSettings([&](settings::Settings& stored) { toggle(stored.dosGraphicsFolders, *line); });
}

void Editor::giveGameFolder(const std::string& hostFolder) {
    givenGameFolder_ = hostFolder;
    findGame();
}

void Editor::useChosenGameFolder(const std::string& hostFolder) {
    chosenGameFolder_ = hostFolder;
    findGame();
}

GameSearch Editor::gameSearch() const {
    GameSearch search{givenGameFolder_, chosenGameFolder_, std::nullopt, store_->winePrefix()};
    if (!loaded_.file.hostPath.empty())
        search.profile = loaded_.file;
    return search;
}

void Editor::findGame() {
    gameFolder_ = findGameFolder(gameSearch());
    // What was found in another tree or against another folder does not stand meanwhile.
    problems_.clear();
    recheck();
}

preview::GraphicsPlaces Editor::graphicsPlaces(std::vector<std::string> folders) const {
    preview::GraphicsPlaces places{.chosen = std::move(folders)};
    if (gameFolder_)
        places.chosen.push_back(gameFolder_->hostPath);
    places.chosen.insert(places.chosen.end(), dosGraphicsFolders_.begin(),
                         dosGraphicsFolders_.end());
    places.databaseFile = loaded_.file.hostPath;
    places.winePrefix = store_->winePrefix();
    return places;
}

Outcome Editor::changeUsersKey() {
    TextAnswer key =
        ui_.input("enter the path to the lemmings profiles under the HKEY_LOCAL_MACHINE key",
                  "Registry Key", state_.usersKeyPath);
    if (key.text.empty())
        return {};
    if (!key.storable) {
        ui_.message(kUnstorableText);
        return {};
    }
    state_.usersKeyPath = key.text;
    Outcome outcome;
    outcome.done = true;
    outcome.profiles = profiles();
    shownProfile_.clear();

    // A settings file gone missing meanwhile gives the default folder as its line 1.
    changeSettings([&](settings::Settings& stored) { stored.usersKeyPath = key.text; });
    return outcome;
}

void Editor::moveKeyElsewhere() {
    ui_.refuse("Alt+Up moves the selected level up while the profile tree has the focus");
}

void Editor::help() {
    ui_.message("please read the included  readme.html  file if you need help");
}

} // namespace quillfen
