#pragma once

#include "common/result.h"
#include "common/user_texts.h"
#include "editing/editor_state.h"
#include "editing/tree_edit.h"
#include "levelfile/level_file.h"

#include <array>
#include <cstddef>
#include <string>
#include <vector>

namespace quillfen {

// What the level-file list shows, as the user sees it: every name (Windows-1252 bytes, unless
// not storable), whether each is selected, and the current row (the one last clicked; -1 for
// none).
struct FileListSelection {
    std::vector<TextAnswer> names;
    std::vector<bool> selected;
    int current = -1;
};

// What the detail panel's boxes show, and the level file (host path) whose counts they show:
// empty when no level's file was read (a group, a set or nothing is selected, or the selected
// level's file is not there), and the count boxes are then empty. The folder and the file name are
// Windows-1252 bytes, as the boxes edit them; the other texts are UTF-8.
struct DetailPanel {
    std::string groupFolder;           // the selected group's folder
    std::string levelFile;             // the selected level's file name
    std::array<std::string, 9> counts; // the lemmings, then the eight actions
    std::string countsFile;            // empty: no counts were read
    // The level file's whole path as the player would type it (C:\LEMM\LEVEL\CUST\a.lvl, UTF-8),
    // and why its counts are not shown, in the panel's words ("cannot find ..."); empty for a
    // group, a set or nothing, and `missing` empty when the counts were read.
    std::string levelPath;
    std::string missing;
    // The level the panel shows, as the tree names it, or for a file of the folder list its own
    // title (UTF-8, an apostrophe for the DOS backquote); empty for a group, a set or nothing.
    std::string title;
    // For a tree level whose file another level node names too (the profile check's note), the
    // other's set (UTF-8): "also in set 'EASY'"; empty otherwise.
    std::string alsoIn;
};

// The panel's heading (UTF-8): the level, then why its counts are not shown or its file's path,
// then the other set that names the file: "Tunnel Vision: C:\LEMM\LEVEL\CUST\a.lvl". Empty
// when no level is shown.
std::string panelHeading(const DetailPanel& panel);

// The names new groups and sets get unless they are given one.
inline constexpr char kNewGroupName[] = "CUSTOM LEVELS";
inline constexpr char kNewSetName[] = "CUSTOM SET";

// The limits of what a profile holds, so that every saved file loads again.
inline constexpr char kTreeFull[] =
    "WARNING: the profile cannot hold more than 3649 groups, sets and levels";
inline constexpr char kGroupFull[] = "WARNING: a group cannot hold more than 255 sets";

// What an editing command did: the step that takes it back (null when it changed nothing) and
// what the user is to be told, a refusal or what was done (empty: nothing).
struct EditResult {
    EditStep step;
    std::string message;
};

// Why a record field cannot take a text: kUnstorableText, a warning naming the field's width
// when the save would cut the text ("WARNING: the name can be at most 40 characters long"), or
// for a name, that it is empty; for a file name also why Windows cannot open a file of that
// name (windowsNameRefusal), for a folder why Windows cannot open it (windowsFolderRefusal). Empty
// when the text fits: 40 bytes for a group's or level's name, 108 for a set's, 68 for a folder, 38
// for a file name.
std::string nameRefusal(NodeKind kind, const TextAnswer& name);
std::string folderRefusal(const TextAnswer& folder);
std::string fileNameRefusal(const TextAnswer& fileName);

// What the panel shows of the selected node: its group's folder or its level's file name; the
// Editor reads the counts.
DetailPanel detailPanelFor(const EditorState& state);

// A selected level file as it was read for adding: its name, whether it could be read, and its
// level, or why it holds none.
struct LevelFileRead {
    std::string fileName;
    bool readable = false;
    Result<levelfile::LevelInfo> info = Error{};
};

// The commands of the editing buttons. Each tests as the game's editor did, changes only the
// tree, its tables and the key counters, and leaves the tree's selection as the command defines
// it. None asks the user anything or touches a file: the Editor asks and reads before it calls
// them, and each makes the step that it then does.
//
// Add Group, with the folder the user gave: refused for a folder that does not fit.
EditResult addGroup(EditorState& state, std::string_view name, const TextAnswer& folder);
EditResult addSet(EditorState& state, std::string_view name);
// Add Selected Level(s), in two halves around the Editor's reading of the files: the names of
// the selected files, or the refusal (no set selected, no file clicked, a name that does not fit
// a level's record); then the levels read, added to the selected set, each file that holds no
// level named in the message.
Result<std::vector<std::string>> levelsToAdd(const EditorState& state,
                                             const FileListSelection& files);
EditResult addLevels(EditorState& state, const std::vector<LevelFileRead>& levels);
// The delete commands: the selected node of `kind` (or the refusal), the question asked before
// a group or a set goes with what is under it (empty for a level, which goes unasked), and the
// removal, which selects the node that takes its place.
Result<const LevelTree::Node*> nodeToDelete(const EditorState& state, NodeKind kind);
std::string deleteQuestion(const LevelTree::Node* node);
EditStep deleteNode(EditorState& state, const LevelTree::Node* node);
EditResult moveUp(EditorState& state);
EditResult moveDown(EditorState& state);
// What a drag in the tree may do: a level is dragged, and moves only among its own set's levels;
// a set takes level files (`level` null) and its own levels.
bool canDrag(const LevelTree::Node* node);
bool canDropOn(const LevelTree::Node* target, const LevelTree::Node* level);
// Moves a level to `row` among its siblings (a drag in the tree), as the move commands do.
EditResult moveLevel(EditorState& state, const LevelTree::Node* level, int row);
// The update buttons, with the text of the panel's box; refused when the text does not fit the
// record field that will hold it.
EditResult updateFolder(EditorState& state, const TextAnswer& folder);
EditResult updateFileName(EditorState& state, const TextAnswer& fileName);
// Renames a node in place; refused when the text does not fit its record field.
EditResult renameNode(EditorState& state, const LevelTree::Node* node, const TextAnswer& text);

} // namespace quillfen
