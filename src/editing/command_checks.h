#pragma once

#include "common/result.h"
#include "editing/editor_state.h"
#include "editing/tree_edit.h"

namespace quillfen {

inline constexpr char kSelectGroupForSet[] = "you must first select a group to add a set to";
inline constexpr char kSelectSetForLevels[] = "you must first select a set to add levels to";
inline constexpr char kSelectLevel[] = "you must first select a level";

// The tests of a command that works on the selected node, in the game's order: a profile is
// loaded, then the selected node is of `kind`. Gives the node, or the refusal the user is shown
// (`wrongKind` also when nothing is selected).
Result<const LevelTree::Node*> selectedOfKind(const EditorState& state, NodeKind kind,
                                              const char* wrongKind);

// The selected group, when it can take one more set (its record counts them in one byte), or
// the refusal.
Result<const LevelTree::Node*> groupForNewSet(const EditorState& state);
// A set named `name` to be added as the last of `group`'s, with the next set key.
AddedNodes::NewNode newSet(EditorState& state, const LevelTree::Node* group, std::string_view name);

// `name` for a new group (`group` null) or a new set of `group`, or when a sibling has it already,
// the first of "NAME 2", "NAME 3"... that none has, NAME cut so that it fits the record's name.
std::string unusedName(const EditorState& state, const LevelTree::Node* group,
                       std::string_view name);

// Makes the step that adds `nodes` and does it.
EditStep addNodes(EditorState& state, std::vector<AddedNodes::NewNode> nodes);
// The refusal when the tree already holds as many nodes as a profile can.
Status roomForNode(const EditorState& state);
// How many more nodes the tree can take before it holds as many as a profile can.
std::size_t nodesThatFit(const EditorState& state);

} // namespace quillfen
