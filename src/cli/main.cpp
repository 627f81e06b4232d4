// quillfen-cli: inspect, check and edit a Windows Lemmings UserDatabase from the command line.
#include "cli/commands.h"

#include <algorithm>
#include <iostream>
#include <string_view>

#ifdef _WIN32
#include "cli/windows_console.h"
#include "host/windows_text.h"

#include <fcntl.h>
#include <io.h>
#include <shellapi.h>
#endif

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
    {"game", quillfen::cli::gameCommand, "game [--prefix DIR] [--game DIR] [PROFILE]"},
    {"check-profile", quillfen::cli::checkProfileCommand,
     "check-profile [--prefix DIR] [--key PATH] [--game DIR] PROFILE [--json]"},
    {"level", quillfen::cli::levelCommand,
     "level FILE [--set NAME=N]...  (NAME: lemmings, climbers, floaters, bombers, blockers, "
     "builders, bashers, miners, diggers)"},
    {"import", quillfen::cli::importCommand, "import PACK [--sequel] --to FOLDER"},
    {"preview", quillfen::cli::previewCommand,
     "preview FILE [--graphics DIR]... [--out PATH] [--scale N | --width W]"},
    {"edit", quillfen::cli::editCommand,
     "edit FILE OUT COMMAND...\n"
     "  COMMAND: add-group NAME FOLDER | add-set GROUPKEY NAME | add-level SETKEY LEVELFILE |\n"
     "           delete KEY | up KEY | down KEY | folder KEY TEXT | file KEY TEXT |\n"
     "           rename KEY TEXT | undo | redo | import-pack SETKEY PACK [--sequel] FOLDER"},
    {"edit-profile", quillfen::cli::editProfileCommand,
     "edit-profile [--prefix DIR] [--key PATH] [--game DIR] PROFILE COMMAND...\n"
     "  COMMAND: as edit's; add-level and import-pack SETKEY PACK [--sequel] write into the\n"
     "           group's folder of the game"},
};

// Every command's usage, to stdout for --help and to stderr for wrong usage.
void printUsage(std::ostream& out, const Command* only = nullptr) {
    out << "usage:" << (only ? " " : "\n");
    for (const Command& command : kCommands)
        if (!only || only == &command)
            out << (only ? "" : "  ") << "quillfen-cli " << command.usage << "\n";
}

// Whether the words ask for the usage: --help among the options, before any "--".
bool helpAsked(const quillfen::cli::Args& args) {
    auto end = std::find(args.begin(), args.end(), "--");
    return std::find(args.begin(), end, "--help") != end;
}

// The words of the command line in UTF-8. On Windows argv holds them in the ANSI code page,
// which loses every character it has no byte for: they are taken from the wide command line.
quillfen::cli::Args commandLine(int argc, char** argv) {
#ifdef _WIN32
    (void)argc;
    (void)argv;
    int count = 0;
    wchar_t** words = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    quillfen::cli::Args args;
    for (int i = 0; words && i < count; ++i)
        args.push_back(quillfen::narrowed(words[i]));
    ::LocalFree(words);
    return args;
#else
    return quillfen::cli::Args(argv, argv + argc);
#endif
}

} // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    // Bytes out as they are: no line feed turned into carriage return and line feed.
    ::_setmode(::_fileno(stdout), _O_BINARY);
    ::_setmode(::_fileno(stderr), _O_BINARY);
    quillfen::cli::ConsoleOutput console;
#endif
    quillfen::cli::Args args = commandLine(argc, argv);
    std::string_view name = args.size() < 2 ? std::string_view() : args[1];
    if (name == "--help") {
        printUsage(std::cout);
        return quillfen::cli::answered(quillfen::cli::kDone);
    }
    for (const Command& command : kCommands) {
        if (command.name != name)
            continue;
        quillfen::cli::Args words(args.begin() + 2, args.end());
        // Asked for help, a command does nothing else.
        if (helpAsked(words)) {
            printUsage(std::cout, &command);
            return quillfen::cli::answered(quillfen::cli::kDone);
        }
        int status = command.run(words);
        if (status == quillfen::cli::kUsage)
            printUsage(std::cerr, &command);
        return quillfen::cli::answered(status);
    }
    printUsage(std::cerr);
    return quillfen::cli::answered(quillfen::cli::kUsage);
}
