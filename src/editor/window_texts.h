#pragma once

#include "levelfile/level_file.h"

// The names, captions and tooltips of the main window's controls and menus, as every
// front-end shows them. Texts are ASCII, which Windows-1252 and UTF-8 spell alike.

namespace quillfen::window {

struct ControlText {
    const char* name;
    const char* caption;
    const char* tooltip; // null: none
};

inline constexpr ControlText kProfileLabel{"profileLabel", "Lemmings User Profile", nullptr};
inline constexpr ControlText kProfileBox{
    "profileBox", "profileBox",
    "Lemmings keeps a profile for each player: choose the one whose levels you want to edit"};
inline constexpr ControlText kLoadProfileButton{"loadProfileButton", "Load Profile", nullptr};
inline constexpr ControlText kFolderLabel{"folderLabel", "New Levels Folder", nullptr};
inline constexpr ControlText kFolderPathEdit{
    "folderPathEdit", "",
    "the folder shown below: type a folder (C:\\LEMM or a path "
    "of this computer) and press Enter"};
inline constexpr ControlText kBrowseFolderButton{"browseFolderButton", "Browse...",
                                                 "choose the folder of your level files"};
inline constexpr ControlText kFolderList{"folderList", "",
                                         "the folders of your Windows Lemmings level files"};
inline constexpr ControlText kLevelFileList{"levelFileList", "",
                                            "the level files of the folder: select those to add"};
inline constexpr ControlText kCountLabel{"levelCountLabel", "0 levels found", nullptr};
inline constexpr ControlText kDeleteLevelButton{"deleteLevelButton", "Delete Selected Level",
                                                "delete the selected level"};
inline constexpr ControlText kAddLevelsButton{
    "addLevelsButton", "Add Selected Level(s)",
    "adds the selected levels of the list to the set selected in the tree on the right"};
inline constexpr ControlText kProfileTree{"profileTree", "", nullptr};
inline constexpr ControlText kAddGroupButton{"addGroupButton", "Add Group", "add a new group"};
inline constexpr ControlText kDeleteGroupButton{"deleteGroupButton", "Delete Group",
                                                "delete the selected group with all its sets"};
inline constexpr ControlText kMoveUpButton{"moveUpButton", "^", "move selected level up"};
inline constexpr ControlText kMoveDownButton{"moveDownButton", "v", "move selected level down"};
inline constexpr ControlText kAddSetButton{"addSetButton", "Add Set",
                                           "add a new set under the current group"};
inline constexpr ControlText kDeleteSetButton{"deleteSetButton", "Delete Set",
                                              "delete the selected set with all its levels"};
inline constexpr ControlText kGroupFolderEdit{"groupFolderEdit", "",
                                              "the folder that the group reads its levels from"};
inline constexpr ControlText kUpdateFolderButton{
    "updateFolderButton", "Update", "update the folder that the selected group looks in"};
inline constexpr ControlText kLevelFileEdit{"levelFileEdit", "",
                                            "the level file of the selected level"};
inline constexpr ControlText kUpdateFileButton{"updateFileButton", "Update",
                                               "update the level file name of the selected level"};
// The detail panel's labels beside the group's folder and the level's file name, and the area
// where the selected level's preview is drawn.
inline constexpr ControlText kGroupFolderLabel{"groupFolderLabel", "Level folder", nullptr};
inline constexpr ControlText kLevelFileLabel{"levelFileLabel", "File name", nullptr};
// Under the file name: the level file's whole path as the game opens it, or why its counts are
// not shown ("cannot find the level file C:\LEMM\LEVEL\CUST\a.lvl").
inline constexpr ControlText kLevelPathLabel{"levelPathLabel", "", nullptr};
inline constexpr ControlText kPreviewArea{"previewArea", "", nullptr};
inline constexpr ControlText kSaveProfileButton{"saveProfileButton", "Save Profile Data",
                                                "save the tree's changes into the profile"};
inline constexpr ControlText kLemmingsEdit{"lemmingsEdit", "",
                                           "number of lemmings for selected level"};
inline constexpr ControlText kActionEdits[8] = {
    {"climbersEdit", "", "number of climbers for selected level"},
    {"floatersEdit", "", "number of floaters for selected level"},
    {"bombersEdit", "", "number of bombers for selected level"},
    {"blockersEdit", "", "number of blockers for selected level"},
    {"buildersEdit", "", "number of builders for selected level"},
    {"bashersEdit", "", "number of bashers for selected level"},
    {"minersEdit", "", "number of miners for selected level"},
    {"diggersEdit", "", "number of diggers for selected level"},
};
// The names above the nine count boxes: lemmingsEdit, then climbersEdit to diggersEdit.
using levelfile::kCountNames;
inline constexpr ControlText kSaveLevelInfoButton{
    "saveLevelInfoButton", "Save Level Info",
    "update the level file with the number of lemmings and lemming actions"};
inline constexpr ControlText kProgressBar{"progressBar", "", nullptr};
// View > Problems: a row for each problem of the profile check, with these columns; a click or
// Enter on a row selects its node in the tree.
inline constexpr ControlText kProblemList{"problemList", "", nullptr};
inline constexpr const char* kProblemColumns[] = {"Severity", "Node", "Key", "File", "Problem"};
inline constexpr int kProblemKeyColumn = 2;

// The menus.
inline constexpr char kOptionsMenu[] = "Options";
inline constexpr char kSetStartupFolder[] = "Set Startup Folder";
inline constexpr char kLemmingsRegKey[] = "Lemmings REG key";
inline constexpr char kWinePrefix[] = "Wine prefix...";
// The Wine prefix menu's list and its last line, which opens a folder chooser.
inline constexpr char kWinePrefixTitle[] = "Wine prefix";
inline constexpr char kWinePrefixList[] = "The Wine prefixes that hold the game's profiles:";
inline constexpr char kAnotherFolder[] = "Another folder...";
// The titles of the folder choosers of Options > Game folder... and DOS graphics folder...
inline constexpr char kGameFolderTitle[] = "The game's folder (which holds LEVEL and STYLES)";
inline constexpr char kDosGraphicsTitle[] =
    "A folder of the DOS game's graphics (chosen again, it is taken out of the list)";
inline constexpr char kEditMenu[] = "Edit";
inline constexpr char kUndo[] = "Undo";
inline constexpr char kRedo[] = "Redo";
inline constexpr char kImportLevelPack[] = "Import Level Pack...";
// The title of the pack's dialogs and the name of the step in Undo and Redo.
inline constexpr char kImportPackTitle[] = "Import Level Pack";
inline constexpr char kHelp[] = "Help";
// The sizes of the selected level's picture in a window of its own.
inline constexpr char kPreviewSizes[3][4] = {"1x", "2x", "fit"};
inline constexpr char kChooseFolder[] = "Level files folder";
inline constexpr char kImportFolder[] = "Folder for the pack's level files";
// The kinds of file the pack's dialog offers.
inline constexpr char kLevelPackFiles[] = "DOS level packs";
inline constexpr char kAllFiles[] = "All files";

} // namespace quillfen::window
