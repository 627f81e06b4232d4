#pragma once

#include "database/level_tree.h"
#include "editor/window_texts.h"

#include <span>
#include <string>
#include <vector>

// The main window's menus, their keyboard shortcuts and the tree's context menu, as every
// front-end offers them: each window builds its menus and shortcuts from these tables.

namespace quillfen::window {

// Every command of the menus; a window maps each to its handler.
enum class Command {
    LoadProfile,
    SaveProfile,
    ImportPack,
    Quit,
    Undo,
    Redo,
    AddGroup,
    AddSet,
    AddLevels,
    Delete,
    MoveUp,
    MoveDown,
    Rename,
    Properties,
    Refresh,
    Preview,
    Messages,
    Problems,
    WinePrefix,
    GameFolder,
    DosGraphicsFolder,
    StartupFolder,
    UsersKey,
    Help,
    About,
};

// A shortcut's key, for each window to map to its own key codes.
enum class Key { None, S, Q, Z, Y, Delete, Up, Down, F1, F2, F5 };

struct Shortcut {
    Key key = Key::None;
    bool ctrl = false;
    bool alt = false;
};

struct MenuItem {
    Command command;
    const char* text;    // the item's text, as the window shows it without its mnemonic
    char mnemonic;       // the letter of `text` that Alt (or the open menu) takes to it
    const char* name;    // the item's name, as tests and tools find it
    Shortcut shortcut;   // none: Key::None
    bool separatorAfter; // a line under the item
};

struct Menu {
    const char* title;
    char mnemonic;
    const char* name;
    std::span<const MenuItem> items;
};

inline constexpr char kFileMenu[] = "File";
inline constexpr char kViewMenu[] = "View";
inline constexpr char kHelpMenu[] = "Help";
inline constexpr char kQuit[] = "Quit";
inline constexpr char kAddGroup[] = "Add Group";
inline constexpr char kAddSet[] = "Add Set";
inline constexpr char kDelete[] = "Delete";
inline constexpr char kMoveUp[] = "Move Up";
inline constexpr char kMoveDown[] = "Move Down";
inline constexpr char kRename[] = "Rename";
inline constexpr char kRefresh[] = "Refresh";
inline constexpr char kPreview[] = "Preview";
inline constexpr char kMessages[] = "Messages";
inline constexpr char kProblems[] = "Problems";
inline constexpr char kGameFolder[] = "Game folder...";
inline constexpr char kDosGraphicsFolder[] = "DOS graphics folder...";
inline constexpr char kProperties[] = "Properties";
inline constexpr char kAbout[] = "About";

inline constexpr MenuItem kFileItems[] = {
    {Command::LoadProfile, kLoadProfileButton.caption, 'L', "loadProfileAction", {}, false},
    {Command::SaveProfile,
     kSaveProfileButton.caption,
     'S',
     "saveProfileAction",
     {Key::S, true},
     true},
    {Command::ImportPack, kImportLevelPack, 'I', "importPackAction", {}, true},
    {Command::Quit, kQuit, 'Q', "quitAction", {Key::Q, true}, false},
};
inline constexpr MenuItem kEditItems[] = {
    {Command::Undo, kUndo, 'U', "undoAction", {Key::Z, true}, false},
    {Command::Redo, kRedo, 'R', "redoAction", {Key::Y, true}, true},
    {Command::AddGroup, kAddGroup, 'G', "addGroupAction", {}, false},
    {Command::AddSet, kAddSet, 'S', "addSetAction", {}, false},
    {Command::AddLevels, kAddLevelsButton.caption, 'L', "addLevelsAction", {}, true},
    {Command::Delete, kDelete, 'D', "deleteAction", {Key::Delete}, false},
    {Command::MoveUp, kMoveUp, 'M', "moveUpAction", {Key::Up, false, true}, false},
    {Command::MoveDown, kMoveDown, 'v', "moveDownAction", {Key::Down, false, true}, false},
    {Command::Rename, kRename, 'n', "renameAction", {Key::F2}, false},
    {Command::Properties, kProperties, 'o', "propertiesAction", {}, false},
};
inline constexpr MenuItem kViewItems[] = {
    {Command::Refresh, kRefresh, 'R', "refreshAction", {Key::F5}, false},
    {Command::Preview, kPreview, 'P', "previewAction", {}, false},
    {Command::Messages, kMessages, 'M', "messagesAction", {}, false},
    {Command::Problems, kProblems, 'b', "problemsAction", {}, false},
};
// Wine prefix... is offered where the profiles come from a Wine prefix (not on Windows).
inline constexpr MenuItem kOptionsItems[] = {
    {Command::WinePrefix, kWinePrefix, 'W', "winePrefixAction", {}, false},
    {Command::GameFolder, kGameFolder, 'G', "gameFolderAction", {}, false},
    {Command::DosGraphicsFolder, kDosGraphicsFolder, 'D', "dosGraphicsFolderAction", {}, true},
    {Command::StartupFolder, kSetStartupFolder, 'S', "setStartupFolderAction", {}, false},
    {Command::UsersKey, kLemmingsRegKey, 'L', "usersKeyAction", {}, false},
};
inline constexpr MenuItem kHelpItems[] = {
    {Command::Help, kHelp, 'H', "helpAction", {Key::F1}, true},
    {Command::About, kAbout, 'A', "aboutAction", {}, false},
};

inline constexpr Menu kMenus[] = {
    {kFileMenu, 'F', "fileMenu", kFileItems}, {kEditMenu, 'E', "editMenu", kEditItems},
    {kViewMenu, 'V', "viewMenu", kViewItems}, {kOptionsMenu, 'O', "optionsMenu", kOptionsItems},
    {kHelpMenu, 'H', "helpMenu", kHelpItems},
};

// `text` with '&' before its mnemonic (the first letter that matches, in either case), and any
// '&' of its own doubled, as both Qt and Windows mark mnemonics.
std::string withMnemonic(const char* text, char mnemonic);

// The shortcut as a menu shows it beside its item: "Ctrl+S", "Alt+Up", "Del", "F2"; empty for
// none.
std::string shortcutText(Shortcut shortcut);

// The menu item of `command`; the one named `name`, or null.
const MenuItem& menuItem(Command command);
const MenuItem* menuItemNamed(const std::string& name);

// The commands of the level-file list's context menu, which act on its selected files.
inline constexpr Command kFileListCommands[] = {Command::AddLevels, Command::Preview};

// The commands of the tree's context menu for `node` (null: the empty part of the tree), in the
// order they are offered.
std::vector<Command> contextCommands(const LevelTree::Node* node);

} // namespace quillfen::window
