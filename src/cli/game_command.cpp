// game: where the game's folder was found.
#include "cli/cli_common.h"
#include "cli/commands.h"
#include "cli/printing_user_interface.h"
#include "profiles/game_folder.h"

#include <iostream>

namespace quillfen::cli {

void EditorSession::useGame(const CommandLine& line) {
    if (line.has("--game"))
        editor.giveGameFolder(line.value("--game"));
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
    GameSearch search{line->value("--game"), "", std::nullopt, session.store->winePrefix()};
    // The profile's step needs the profile loaded; a given folder needs no search.
    if (profileNamed && search.given.empty()) {
        session.editor.setUsersKeyPath(kDefaultUsersKeyPath);
        if (!session.editor.loadProfile(line->words[0]).done)
            return kRefused;
        search.profile = ProfilePath{{}, session.editor.loadedProfileFile()};
    }
    std::optional<GameFolder> game = findGameFolder(search);
    if (!game)
        return refuse("ERROR: " + utf8ToWindows1252Lossy(gameFolderNotFound(search)));
    // Host paths and Windows paths here are UTF-8 already, so they are printed as they are.
    std::cout << game->hostPath << "\t" << game->windowsPath << "\t"
              << gameFolderSourceName(game->source) << "\n";
    return kDone;
}

} // namespace quillfen::cli
