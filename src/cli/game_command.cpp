// game: where the game's folder was found.
#include "cli/cli_common.h"
#include "cli/commands.h"
#include "cli/printing_user_interface.h"
#include "editor/settings_file.h"
#include "profiles/game_folder.h"

#include <iostream>

namespace quillfen::cli {

namespace {

// The folder chosen with Options > Game folder..., as the windows read it from the settings file:
// a drive path through the prefix's drives; empty when none was chosen.
std::string chosenGameFolder(ProfileStore& store) {
    std::string line = settings::readSettings(settings::settingsPath()).gameFolder;
    return line.empty() ? line : settings::hostFolder(line, store);
}

} // namespace

void EditorSession::useGame(const CommandLine& line) {
    if (line.has("--game"))
        editor.giveGameFolder(line.value("--game"));
    else
        editor.useChosenGameFolder(chosenGameFolder(*store));
}

bool EditorSession::loadProfile(const CommandLine& line, const std::string& name) {
    auto key = windows1252(line.value("--key", kDefaultUsersKeyPath));
    if (!key)
        return false;
    useGame(line);
    editor.setUsersKeyPath(*key);
    return editor.loadProfile(name).done;
}

int gameCommand(const Args& args) {
    std::initializer_list<Option> options = {kPrefixOption, kGameOption};
    auto line = parseCommandLine(args, 1, options);
    bool profileNamed = line.has_value();
    if (!line)
        line = parseCommandLine(args, 0, options);
    if (!line)
        return kUsage;
    EditorSession session(openStore(*line));
    GameSearch search{line->value("--game"), chosenGameFolder(*session.store), std::nullopt,
                      session.store->winePrefix()};
    // The profile's step needs the profile loaded; a given folder needs no search.
    if (profileNamed && search.given.empty()) {
        session.editor.setUsersKeyPath(kDefaultUsersKeyPath);
        if (!session.editor.loadProfile(line->words[0]).done)
            return kRefused;
        search.profile = ProfilePath{{}, session.editor.loadedProfileFile()};
    }
    std::optional<GameFolder> game = findGameFolder(search);
    if (!game)
        return refuse("ERROR: " + gameFolderNotFound(search));
    // Host paths and Windows paths here are UTF-8 already, so they are printed as they are.
    std::cout << game->hostPath << "\t" << game->windowsPath << "\t"
              << gameFolderSourceName(game->source) << "\n";
    return kDone;
}

} // namespace quillfen::cli
