#pragma once

#include "database/level_tree.h"
#include "editing/editor_state.h"

#include <string>
#include <string_view>
#include <vector>

namespace quillfen::cli {

using Args = std::vector<std::string>;

// Exit statuses of every command.
inline constexpr int kDone = 0;
inline constexpr int kRefused = 1;
inline constexpr int kUsage = 2;

// Prints "usage: quillfen-cli <line>" to stderr and gives kUsage.
int usage(std::string_view line);
// Prints a core message (Windows-1252) to stderr as UTF-8 and gives kRefused.
int refuse(std::string_view message);

std::string jsonString(std::string_view windows1252);

// The tree as `show` prints it: one node a line, or one JSON object.
void printTree(const EditorState& state, bool json);

} // namespace quillfen::cli
