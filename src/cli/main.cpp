// quillfen-cli: inspect, check and edit a Windows Lemmings UserDatabase from the command line.
#include "cli/commands.h"

#include <iostream>
#include <string_view>

namespace {

struct Command {
    std::string_view name;
    int (*run)(const quillfen::cli::Args&);
    std::string_view usage;
};

constexpr Command kCommands[] = {
    {"show", quillfen::cli::showCommand, "show [--json] FILE"},
    {"check", quillfen::cli::checkCommand, "check FILE"},
    {"rewrite", quillfen::cli::rewriteCommand, "rewrite IN OUT"},
    {"demo", quillfen::cli::demoCommand, "demo FILE"},
    {"prefixes", quillfen::cli::prefixesCommand, "prefixes [--key PATH]"},
    {"profiles", quillfen::cli::profilesCommand, "profiles [--prefix DIR] [--key PATH]"},
    {"load", quillfen::cli::loadCommand, "load [--prefix DIR] [--key PATH] PROFILE [--json]"},
    {"save", quillfen::cli::saveCommand, "save [--prefix DIR] [--key PATH] PROFILE FROM"},
    {"demo-prefix", quillfen::cli::demoPrefixCommand, "demo-prefix DIR"},
    {"level", quillfen::cli::levelCommand, "level FILE [--set NAME=N]..."},
    {"import", quillfen::cli::importCommand, "import PACK [--sequel] --to FOLDER"},
    {"edit", quillfen::cli::editCommand, "edit FILE OUT COMMAND..."},
};

int printUsage() {
    std::cerr << "usage:\n";
    for (const Command& command : kCommands)
        std::cerr << "  quillfen-cli " << command.usage << "\n";
    return quillfen::cli::kUsage;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return printUsage();
    std::string_view name = argv[1];
    for (const Command& command : kCommands) {
        if (command.name == name)
            return command.run(quillfen::cli::Args(argv + 2, argv + argc));
    }
    return printUsage();
}
