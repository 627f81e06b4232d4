#pragma once

#include "database/level_tree.h"
#include "editing/profile_check.h"
#include "editor/window_texts.h"

#include <array>
#include <iterator>
#include <string>
#include <vector>

namespace quillfen::window {

// A row of View > Problems: its cells in the order of kProblemColumns (UTF-8). Its key
// cell names the node a click on the row selects; it is empty for a note on the whole install,
// whose row selects nothing.
using ProblemRow = std::array<std::string, std::size(kProblemColumns)>;

// The rows of `problems` (the Editor's problems()), in their order, as every window lists them:
// the severity, the node's title and key, the file and the problem.
std::vector<ProblemRow> problemRows(const LevelTree& tree,
                                    const std::vector<ProfileProblem>& problems);

} // namespace quillfen::window
