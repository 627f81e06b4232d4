// quillfen-cli: inspect, check and edit a Windows Lemmings UserDatabase from the command line.
#include "cli/commands.h"

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
    {"level", quillfen::cli::levelCommand, "level FILE [--set NAME=N]..."},
    {"import", quillfen::cli::importCommand, "import PACK [--sequel] --to FOLDER"},
    {"preview", quillfen::cli::previewCommand,
     "preview FILE [--graphics DIR]... [--out PATH] [--scale N | --width W]"},
    {"edit", quillfen::cli::editCommand, "edit FILE OUT COMMAND..."},
};

int printUsage() {
    std::cerr << "usage:\n";
    for (const Command& command : kCommands)
        std::cerr << "  quillfen-cli " << command.usage << "\n";
    return quillfen::cli::kUsage;
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
    for (const Command& command : kCommands) {
        if (command.name == name)
            return quillfen::cli::answered(
                command.run(quillfen::cli::Args(args.begin() + 2, args.end())));
    }
    return quillfen::cli::answered(printUsage());
}
