// show, check, rewrite, demo: the UserDatabase file on its own.
#include "cli/cli_common.h"
#include "cli/commands.h"
#include "cli/demo.h"
#include "database/database_check.h"
#include "database/database_writer.h"
#include "host/file_io.h"
#include "profiles/profile_commands.h"

#include <iostream>

namespace quillfen::cli {

int showCommand(const Args& args) {
    bool json = args.size() == 2 && args[0] == "--json";
    if (!(args.size() == 1 || json))
        return usage("show [--json] FILE");
    auto loaded = loadProfileFile(args.back());
    if (!loaded)
        return refuse(loaded.error());
    EditorState state;
    state.adopt(std::move(*loaded));
    printTree(state, json);
    return kDone;
}

int checkCommand(const Args& args) {
    if (args.size() != 1)
        return usage("check FILE");
    auto bytes = readProfileFile(args[0]);
    if (!bytes)
        return refuse(bytes.error());
    auto problems = checkDatabaseFile(*bytes);
    for (const std::string& problem : problems)
        std::cout << problem << "\n";
    return problems.empty() ? kDone : kRefused;
}

int rewriteCommand(const Args& args) {
    if (args.size() != 2)
        return usage("rewrite IN OUT");
    auto loaded = loadProfileFile(args[0]);
    if (!loaded)
        return refuse(loaded.error());
    EditorState state;
    state.adopt(std::move(*loaded));
    if (auto written = writeFileAtomically(args[1], encodeDatabase(state.tree)); !written)
        return refuse("ERROR: could not write " + args[1] + ": " + written.error());
    return kDone;
}

int demoCommand(const Args& args) {
    if (args.size() != 1)
        return usage("demo FILE");
    if (auto written = writeFileAtomically(args[0], encodeDatabase(makeDemoTree())); !written)
        return refuse("ERROR: could not write " + args[0] + ": " + written.error());
    return kDone;
}

} // namespace quillfen::cli
