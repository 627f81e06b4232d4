#pragma once

#include "database/level_tree.h"
#include "editing/editor_state.h"

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillfen::cli {

using Args = std::vector<std::string>;

// Exit statuses of every command.
inline constexpr int kDone = 0;
inline constexpr int kRefused = 1;
inline constexpr int kUsage = 2;

// An option that a command accepts: a flag, or one that takes a value ("--to DIR" or
// "--to=DIR").
struct Option {
    std::string_view name;
    bool takesValue = false;
};

// --prefix DIR and --key PATH: the Wine prefix and the registry key of the profiles.
inline constexpr Option kPrefixOption{"--prefix", true};
inline constexpr Option kKeyOption{"--key", true};
// --game DIR: the game's folder, a host folder, instead of the one the tool would find.
inline constexpr Option kGameOption{"--game", true};

// A command's words, and the options given among them.
struct CommandLine {
    std::vector<std::string> words;
    // Each option given, with its value (empty for a flag), in the order given.
    std::vector<std::pair<std::string_view, std::string>> options;

    bool has(std::string_view name) const;
    // The value given last for `name`, or `fallback` when it was not given.
    std::string value(std::string_view name, const std::string& fallback = {}) const;
    // Every value given for `name`, in order.
    std::vector<std::string> values(std::string_view name) const;
};

// The arguments as `wordCount` words and any of `options`, the options anywhere among the words
// as getopt accepts them; "--" ends the options. Nullopt when an option is not known, lacks its
// value or is a flag given one, or when there are not `wordCount` words: the command then gives
// kUsage, and main prints its usage (as it does for --help, which no command sees).
std::optional<CommandLine> parseCommandLine(const Args& args, std::size_t wordCount,
                                            std::initializer_list<Option> options = {});

// Gives `status`, or kRefused when what the command wrote to stdout or stderr did not all reach
// it, saying so on stderr while that can still be written.
int answered(int status);

// Prints a core message (UTF-8, as every message) to stderr and gives kRefused.
int refuse(std::string_view message);

// A text from the command line as the core keeps it (Windows-1252), or nothing after the
// refusal of one that it cannot hold.
std::optional<std::string> windows1252(const std::string& utf8Text);

// A text as a JSON string: one the core stores (Windows-1252), or a message or a host path.
std::string jsonString(std::string_view windows1252);
std::string jsonUtf8(std::string_view utf8);

// The tree as `show` prints it: one node a line, or one JSON object.
void printTree(const EditorState& state, bool json);

} // namespace quillfen::cli
