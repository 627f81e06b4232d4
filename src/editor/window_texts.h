#pragma once

// The names, captions and tooltips of the main window's controls and menus, as every
// front-end shows them. Texts are Windows-1252 (ASCII here).

namespace quillfen::window {

struct ControlText {
    const char* name;
    const char* caption;
    const char* tooltip; // null: none
};

inline constexpr ControlText kLabel1{"Label1", "Lemmings User Profile", nullptr};
inline constexpr ControlText kCombo1{
    "Combo1", "Combo1",
    "lemming has different profiles for different players, choose the profile you want to edit"};
inline constexpr ControlText kCommand4{"Command4", "Load Profile", nullptr};
inline constexpr ControlText kLabel2{"Label2", "New Levels Folder", nullptr};
inline constexpr ControlText kDir2Path{"Dir2Path", "",
                                       "the folder shown below: type a folder (C:\\LEMM or a path "
                                       "of this computer) and press Enter"};
inline constexpr ControlText kDir2Browse{"Dir2Browse", "Browse...",
                                         "choose the folder of your level files"};
inline constexpr ControlText kDir2{"Dir2", "", "the path to your windows lemmings level files"};
inline constexpr ControlText kDir1{"Dir1", "", "available level files"};
inline constexpr ControlText kCountLabel{"countLabel", "0 levels found", nullptr};
inline constexpr ControlText kCommand6{"Command6", "Delete Selected Level",
                                       "delete the selected level"};
inline constexpr ControlText kCommand3{
    "Command3", "Add Selected Level(s)",
    "adds the selected level from above to the seleted set below"};
inline constexpr ControlText kTreeView1{"TreeView1", "", nullptr};
inline constexpr ControlText kCommand2{"Command2", "Add Group", "add a new group"};
inline constexpr ControlText kCommandDelG{"CommandDelG", "Delete Group",
                                          "delete entire selected group"};
inline constexpr ControlText kCommand12{"Command12", "^", "move selected level up"};
inline constexpr ControlText kCommand13{"Command13", "v", "move selected level down"};
inline constexpr ControlText kCommand1{"Command1", "Add Set",
                                       "add a new set under the current group"};
inline constexpr ControlText kCommand5{"Command5", "Delete Set", "delete entire selected set"};
inline constexpr ControlText kText1{"Text1", "",
                                    "this is the folder that the group will read levels from"};
inline constexpr ControlText kCommand10{"Command10", "update",
                                        "updated the folder that the selected group will look in"};
inline constexpr ControlText kCommand8{"Command8", "info", "debug info"};
inline constexpr ControlText kText2{"Text2", "", "this is the level file for the selected level"};
inline constexpr ControlText kCommand11{"Command11", "update",
                                        "updates the level filename for the selected file"};
inline constexpr ControlText kCommand9{"Command9", "Save Profile Data",
                                       "save the above profile changes"};
inline constexpr ControlText kNumlemm{"numlemm", "", "number of lemmings for selected level"};
inline constexpr ControlText kActions[8] = {
    {"action1", "", "number of climbers for selected level"},
    {"action2", "", "number of floaters for selected level"},
    {"action3", "", "number of bombers for selected level"},
    {"action4", "", "number of blockers for selected level"},
    {"action5", "", "number of builders for selected level"},
    {"action6", "", "number of bashers for selected level"},
    {"action7", "", "number of miners for selected level"},
    {"action8", "", "number of diggers for selected level"},
};
// The names above the nine count boxes: numlemm, then action1 to action8.
inline constexpr const char* kCountNames[9] = {"lemmings", "climbers", "floaters",
                                               "bombers",  "blockers", "builders",
                                               "bashers",  "miners",   "diggers"};
inline constexpr ControlText kCommand7{
    "Command7", "Save Level Info",
    "update the level file with the number of lemmings and lemming actions"};
inline constexpr ControlText kProgressBar1{"ProgressBar1", "", nullptr};

// The menus.
inline constexpr char kOptionsMenu[] = "Options";
inline constexpr char kSetStartupFolder[] = "Set Startup Folder";
inline constexpr char kLemmingsRegKey[] = "Lemmings REG key";
inline constexpr char kWinePrefix[] = "Wine prefix...";
inline constexpr char kEditMenu[] = "Edit";
inline constexpr char kUndo[] = "Undo";
inline constexpr char kRedo[] = "Redo";
inline constexpr char kImportLevelPack[] = "Import Level Pack...";
// The title of the pack's dialogs and the name of the step in Undo and Redo.
inline constexpr char kImportPackTitle[] = "Import Level Pack";
inline constexpr char kHelp[] = "Help";
inline constexpr char kChooseFolder[] = "Level files folder";
inline constexpr char kImportFolder[] = "Folder for the pack's level files";

} // namespace quillfen::window
