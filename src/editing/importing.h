#pragma once

#include "editing/editing_commands.h"
#include "levelfile/level_pack.h"

#include <string>

namespace quillfen {

// Import Level Pack, in two halves around the Editor's writing of the plan's level files.
// `importTarget` tests as the adding commands do, before anything is written: a profile is
// loaded, the selected node is a set (`newSet` false: the levels go into it) or a group that can
// take one more set (`newSet` true), each file name fits a level's record, and the profile has
// room for every node; it gives the selected node or the refusal. `addImported` then adds one
// level for each of the plan's files, in section order, named by its title: into the target set,
// or into a new set named `setName` under the target group. The message says what was added.
// The set of `group` that an earlier import of the same pack made: its levels name the plan's
// files, in order, and each of those files still holds the pack's level; null when none does.
const LevelTree::Node* setImportedBefore(const EditorState& state,
                                         const levelfile::ImportPlan& plan,
                                         const LevelTree::Node* group);
Result<const LevelTree::Node*> importTarget(const EditorState& state,
                                            const levelfile::ImportPlan& plan, bool newSet);
EditResult addImported(EditorState& state, const levelfile::ImportPlan& plan,
                       const LevelTree::Node* target, const std::string& setName = {});

} // namespace quillfen
