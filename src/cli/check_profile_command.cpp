// check-profile: what keeps the game from finding or playing a profile's levels.
#include "cli/cli_common.h"
#include "cli/commands.h"
#include "cli/printing_user_interface.h"
#include "editing/profile_check.h"
#include "profiles/game_folder.h"

#include <algorithm>
#include <iostream>

namespace quillfen::cli {

int checkProfileCommand(const Args& args) {
    auto line = parseCommandLine(args, 1, {kPrefixOption, kKeyOption, kGameOption, {"--json"}});
    if (!line)
        return kUsage;
    EditorSession session(openStore(*line));
    Editor& editor = session.editor;
    if (!session.loadProfile(*line, line->words[0]))
        return kRefused;
    if (!editor.gameFolder()) {
        GameSearch search{line->value("--game"), "", ProfilePath{{}, editor.loadedProfileFile()},
                          session.store->winePrefix()};
        return refuse("ERROR: " + gameFolderNotFound(search));
    }
    auto problems = checkProfile(editor.tree(), *editor.gameFolder());
    bool json = line->has("--json");
    std::cout << (json ? "[" : "");
    for (std::size_t i = 0; i < problems.size(); ++i) {
        const ProfileProblem& p = problems[i];
        if (!json) {
            std::cout << p.key << "\t" << p.file << "\t" << p.problem << "\n";
            continue;
        }
        const LevelTree::Node* node = p.key.empty() ? nullptr : editor.tree().find(p.key);
        std::cout << (i ? ",\n " : "") << "{\"key\": " << jsonString(p.key)
                  << ", \"title\": " << jsonString(node ? node->text() : "")
                  << ", \"file\": " << jsonUtf8(p.file) << ", \"problem\": " << jsonUtf8(p.problem)
                  << ", \"severity\": "
                  << (p.severity == ProblemSeverity::Error ? "\"error\"" : "\"note\"") << "}";
    }
    std::cout << (json ? "]\n" : "");
    bool errors = std::any_of(problems.begin(), problems.end(), [](const ProfileProblem& p) {
        return p.severity == ProblemSeverity::Error;
    });
    return errors ? kRefused : kDone;
}

} // namespace quillfen::cli
