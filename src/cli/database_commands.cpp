// show, check, rewrite, demo: the UserDatabase file on its own.
#include "cli/cli_common.h"
#include "cli/commands.h"
#include "cli/demo.h"
#include "cli/printing_user_interface.h"
#include "database/database_check.h"
#include "database/database_writer.h"
#include "host/file_write.h"
#include "profiles/profile_load_save.h"

#include <iostream>

namespace quillfen::cli {

int showCommand(const Args& args) {
    auto line = parseCommandLine(args, 1, {{"--json"}});
    if (!line)
        return kUsage;
    EditorSession session;
    if (auto loaded = session.editor.openFile(line->words[0]); !loaded)
        return refuse(loaded.error());
    printTree(session.editor.state(), line->has("--json"));
    return kDone;
}

int checkCommand(const Args& args) {
    auto line = parseCommandLine(args, 1);
    if (!line)
        return kUsage;
    auto bytes = readProfileFile(line->words[0]);
    if (!bytes)
        return refuse(bytes.error());
    auto problems = checkDatabaseFile(*bytes);
    for (const std::string& problem : problems)
        std::cout << problem << "\n";
    return problems.empty() ? kDone : kRefused;
}

int rewriteCommand(const Args& args) {
    auto line = parseCommandLine(args, 2);
    if (!line)
        return kUsage;
    EditorSession session;
    if (auto loaded = session.editor.openFile(line->words[0]); !loaded)
        return refuse(loaded.error());
    if (auto written = session.editor.writeFile(line->words[1]); !written)
        return refuse(written.error());
    return kDone;
}

int demoCommand(const Args& args) {
    auto line = parseCommandLine(args, 1);
    if (!line)
        return kUsage;
    const std::string& file = line->words[0];
    // A demo never takes the place of a file that is there, a player's database above all.
    if (auto written = writeFile(file, encodeDatabase(makeDemoTree()), {.mustBeNew = true});
        !written)
        return refuse(couldNotWrite(file, written.error()));
    return kDone;
}

} // namespace quillfen::cli
