#pragma once

#include "editing/editing_commands.h"
#include "levelfile/level_pack.h"

#include <string>

namespace quillfen {

// Import Level Pack, once the user has seen the plan's report and chosen to import: writes the
// plan's level files (levelfile::writeImport, replacing a file that holds another level only
// with OnConflict::Replace) and adds one level for each, in section order, named by its title.
// `importPack` adds them to the selected set; `importPackAsSet` adds a new set named `setName`
// to the selected group and puts them in it. Each tests as the adding commands do (a profile is
// loaded, a node of the right kind is selected, each file name fits a level's record) and that
// the profile has room for every node, before anything is written; a refused or failed write
// adds nothing. The message says what was added, or why nothing was.
EditResult importPack(EditorState& state, const levelfile::ImportPlan& plan);
EditResult importPackAsSet(EditorState& state, const levelfile::ImportPlan& plan,
                           const std::string& setName, levelfile::OnConflict onConflict);

} // namespace quillfen
