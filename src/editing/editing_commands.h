#pragma once

#include "common/user_interface.h"
#include "editing/editor_state.h"
#include "editing/tree_edit.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace quillfen {

// What the level-file list shows: the folder's level files (names as Windows-1252 bytes), which
// are selected, and the current entry (the one last clicked; -1 for none).
struct LevelFileList {
    std::string folder; // host path of the folder list's folder
    std::vector<std::string> names;
    std::vector<bool> selected;
    int current = -1;
    // False when a selected name has a character that a level record cannot hold.
    bool storable = true;
};

// What the detail panel's boxes are to show; a box without a value keeps what it holds. Texts
// are Windows-1252 bytes.
struct DetailPanel {
    std::optional<std::string> groupFolder;           // the selected group's folder
    std::optional<std::string> levelFile;             // the selected level's file name
    std::optional<std::array<std::string, 9>> counts; // numlemm, action1 .. action8
};

// The names new groups and sets get unless they are given one.
inline constexpr char kNewGroupName[] = "CUSTOM LEVELS";
inline constexpr char kNewSetName[] = "CUSTOM SET";

// The limits of what a profile holds, so that every saved file loads again.
inline constexpr char kTreeFull[] =
    "WARNING: the profile cannot hold more than 3649 groups, sets and levels";
inline constexpr char kGroupFull[] = "WARNING: a group cannot hold more than 255 sets";

// The longest name the record field of a node of `kind` holds: 40 for groups and levels, 108 for
// sets.
std::size_t nameLimit(NodeKind kind);
// "WARNING: the name can be at most N characters long".
std::string nameTooLong(std::size_t limit);
// "WARNING: the folder can be at most 68 characters long", and the same for a file name.
std::string folderTooLong();
std::string fileNameTooLong();

// A click in the tree: what the panel shows for the selected node (and its level file, found in
// `folder`, the folder list's folder). A set leaves the counts as they are.
DetailPanel detailPanelFor(const EditorState& state, const std::string& folder);

// The commands of the editing buttons. Each tests, asks and tells through `ui` as the game's
// editor did, changes only the tree, its tables and the key counters, and leaves the tree's
// selection as the command defines it. Each gives the change it made, to be undone, or null
// when it changed nothing.
EditStep addGroup(EditorState& state, UserInterface& ui, std::string_view name);
EditStep addSet(EditorState& state, UserInterface& ui, std::string_view name);
EditStep addSelectedLevels(EditorState& state, UserInterface& ui, const LevelFileList& files);
EditStep deleteGroup(EditorState& state, UserInterface& ui);
EditStep deleteSet(EditorState& state, UserInterface& ui);
EditStep deleteLevel(EditorState& state, UserInterface& ui);
EditStep moveUp(EditorState& state, UserInterface& ui);
EditStep moveDown(EditorState& state, UserInterface& ui);
// Moves a level to `row` among its siblings (a drag in the tree), as the move commands do.
EditStep moveLevel(EditorState& state, UserInterface& ui, const LevelTree::Node* level, int row);
// Text1 / Text2 as typed; `storable` false when the window could not convert them. Refused when
// the text is longer than the record field that will hold it.
EditStep updateFolder(EditorState& state, UserInterface& ui, const TextAnswer& folder);
EditStep updateFileName(EditorState& state, UserInterface& ui, const TextAnswer& fileName);
// Renames a node in place; refused when the text is longer than its record field or not storable.
EditStep renameNode(EditorState& state, UserInterface& ui, const LevelTree::Node* node,
                    const TextAnswer& text);

} // namespace quillfen
