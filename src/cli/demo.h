#pragma once

#include "database/level_tree.h"

namespace quillfen::cli {

// A small profile of custom levels, as a player might have made: three groups, their sets,
// and levels with file names.
LevelTree makeDemoTree();

} // namespace quillfen::cli
