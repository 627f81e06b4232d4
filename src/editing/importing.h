#pragma once

#include "database/editor_state.h"
#include "database/user_interface.h"
#include "levelfile/level_pack.h"

namespace quillfen {

// Import Level Pack, once the user has seen the plan's report and chosen to import: writes the
// plan's level files (levelfile::writeImport) and adds one level for each to the selected set,
// in section order, named by its title. Tests as Add Selected Level(s) does (a profile is
// loaded, a set is selected), and that the profile has room for every level, before anything
// is written; a refused or failed write adds nothing. Tells the user the outcome; true when the
// levels were added.
bool importPack(EditorState& state, UserInterface& ui, const levelfile::ImportPlan& plan);

} // namespace quillfen
