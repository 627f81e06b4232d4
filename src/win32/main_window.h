#pragma once

#include "editor/editor.h"
#include "editor/window_menus.h"
#include "editor/window_texts.h"
#include "win32/control_layout.h"
#include "win32/level_file_list.h"
#include "win32/tree_view.h"
#include "win32/win32_user_interface.h"

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace quillfen::win32 {

class MainWindow;
class PreviewView;
class ProblemWindow;

// What a control shows: its window text.
std::wstring textOfWindow(HWND control);

// The key code of a shortcut's key.
UINT virtualKey(window::Key key);

// What a program sets up before its main window: per-monitor DPI awareness, the common
// controls and COM (undone by CoUninitialize).
void prepareProcess();

// The messages of `window` and its dialogs, until the window is gone: files that come or go in
// the folder list's folder wake it too, keys go through the shortcuts and the dialog keys. The
// exit code of its WM_QUIT.
int runMessageLoop(MainWindow& window);

// The main window on Windows. It owns the Editor and every control; each handler gathers what
// the controls hold, calls one Editor action and shows its outcome. Each control is known by
// its name in window_texts.h (controlNamed finds it).
class MainWindow {
public:
    MainWindow(ProfileStore& store, Win32UserInterface& ui);
    ~MainWindow();

    // Makes the window and runs start-up; false when the disclaimer was declined.
    bool create(HINSTANCE instance, int show);
    HWND handle() const { return window_; }
    HWND controlNamed(const std::string& name) const;
    const std::map<std::string, HWND>& controls() const { return controls_; }
    const Editor& editor() const { return editor_; }
    LevelFileList& levelFiles() { return levelFiles_; }
    // Keyboard shortcuts: true when the message was one.
    bool translateAccelerator(MSG& message);
    // Signalled when files or folders come or go in the folder list's folder, and when folders
    // come or go beside it (INVALID_HANDLE_VALUE: not followed); the message loop waits on them
    // and calls onFolderChanged with the one signalled.
    const std::array<HANDLE, 2>& folderChanges() const { return folderChanges_; }
    void onFolderChanged(HANDLE change);
    // A file the program was started on (`quillfen.exe FILE`, "Open with" of Explorer; a full
    // path): its folder opens in the folder list; a Windows level file is then the list's
    // selected file, anything else goes to Import Level Pack as the pack.
    void openFile(const std::string& hostPath);
    // The messages shown so far, each as one line, oldest first (UTF-8).
    const std::vector<std::string>& messages() const { return messages_; }

private:
    // main_window_controls.cpp
    void createControls();
    HWND addControl(const wchar_t* className, const window::ControlText& text, DWORD style, int id,
                    DWORD exStyle = 0);
    void applyFont();
    void layOut();
    // The first place and size, and the splitter: as kept at the last close (keepLayout).
    void placeFirstTime();
    // Keeps the window's place, size and splitter for the next start.
    void keepLayout() const;
    SIZE minimumClientSize() const;
    std::pair<int, int> leastColumns() const;
    int textWidth(const char* text) const;
    int textWidth(const std::wstring& shown) const;
    void placeStatusParts();
    int buttonWidth(int id) const;
    int labelWidth(int id) const;
    int countColumnWidth(int i) const;
    int countGridWidth() const;
    RECT splitterRect() const;

    // main_window_menus.cpp
    void createMenus();
    void createAccelerators();
    void runCommand(window::Command command);
    void showContextMenu(int x, int y);
    // The level-file list's context menu at the screen point (x, y), or under its focused row
    // when it came from the keyboard (-1, -1).
    void showFileContextMenu(int x, int y);
    // Offers `commands` in a menu at the screen point (x, y) and runs the one chosen.
    void runContextMenu(std::span<const window::Command> commands, int x, int y);
    void inform(const std::string& text, bool inStatusBar);

    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void command(int id, int code);
    LRESULT notify(NMHDR* header);
    bool mouse(UINT message, LPARAM lParam);
    // Start-up, in the order of the game's editor.
    bool start();
    // Runs one edit of the tree with the view following it, then shows its outcome; the item of
    // the last node it added, if any.
    HTREEITEM runEdit(const std::function<Outcome()>& action);
    // Add Group or Add Set: the new node selected and its name opened for editing in place
    // (Escape keeps the default name).
    void addAndName(const std::function<Outcome()>& add);
    void showOutcome(const Outcome& outcome);
    void showPanel(const std::optional<DetailPanel>& panel);
    void showDocumentState();
    // A warning icon on each node of the tree that the profile check found a problem in.
    void showProblemMarks();
    void showCoreSelection();
    // A row of View > Problems chosen: its node (none for a note on the install) selected as a
    // click in the tree selects it.
    void selectProblemNode(const std::string& key);
    Progress progressReport();
    TextAnswer textOf(HWND control) const;
    void onSaveLevelInfo();
    // What the count boxes hold.
    std::array<std::string, kCountBoxes> countBoxes() const;
    // A node clicked: the panel shows it, unless the user cancels leaving the typed counts,
    // which then stay with the node still selected.
    void nodeClicked(const LevelTree::Node* node);
    // "Import Level Pack...": the pack, then the folder for its level files.
    void onImportPack();
    // Import Level Pack of `pack`: the folder for its level files is asked for.
    void importPack(const std::string& pack);
    void onHelp();
    void close();
    // Files dropped from the desktop onto a set of the tree.
    void onDropFiles(HDROP drop);
    // A level dragged within its set: TVN_BEGINDRAG starts it, the mouse's release ends it.
    void dragLevelTo(POINT client, bool drop);
    // Level files let go over `node` (a set, or a level of one), from Explorer or the file list.
    void dropFilesOn(const LevelTree::Node* node, const std::vector<std::string>& paths);
    // The tree's row under a point of the window's client area.
    HTREEITEM treeItemAt(POINT client) const;

    // main_window_lists.cpp: the profile box, the folder list and the level-file list.
    void fillProfiles(const std::vector<std::string>& names, bool selectFirst);
    // The profile box shows the profile `name` (UTF-8), or nothing when it has no such row.
    void showProfileName(const std::string& name);
    void onProfileChosen();
    void listLevelFiles(const std::string& folder);
    void setFolder(const std::string& folder);
    // The folder list shows the Editor's folder rows anew.
    void showFolderRows();
    void followFolder(const std::string& folder);
    void showFolderPath(const std::string& folder);
    void onFolderOpened();
    void onFolderPathEntered();
    void onBrowseFolder();
    void onAddSelectedLevels();
    // The level-file list's current file goes to the preview.
    void onLevelFileChosen();

    Win32UserInterface& ui_;
    Editor editor_;
    HINSTANCE instance_ = nullptr;
    HWND window_ = nullptr;
    HWND tooltip_ = nullptr;
    HWND status_ = nullptr;
    std::wstring statusText_; // the document's part of the status bar
    HMENU editMenu_ = nullptr;
    HACCEL accelerators_ = nullptr, treeAccelerators_ = nullptr;
    HFONT font_ = nullptr;
    FontMeasures measures_;
    // The share of the width the level-file browser takes, left of the splitter.
    double splitAt_ = 0.45;
    // Maximised at the last close.
    bool maximized_ = false;
    bool splitting_ = false;
    std::map<std::string, HWND> controls_;
    HWND profileBox = nullptr, folderPathEdit = nullptr, folderList = nullptr;
    HWND levelCountLabel = nullptr, profileTree = nullptr, groupFolderEdit = nullptr,
         levelFileEdit = nullptr;
    HWND lemmingsEdit = nullptr, progressBar = nullptr, loadProfileButton = nullptr;
    std::array<HWND, kCountBoxes - 1> actionEdits{};
    LevelFileList levelFiles_;
    std::unique_ptr<TreeViewSync> sync_;
    // While a core command changes the tree, the view's selection changes are no clicks.
    bool followingCore_ = false;
    // The level-file list's row the panel shows, -1 for none.
    int shownFileRow_ = -1;
    bool labelEditing_ = false;
    const LevelTree::Node* draggedLevel_ = nullptr;
    // The level-file list's files being dragged (host paths); empty when none are.
    std::vector<std::string> draggedFiles_;
    // The change notifications of the folder list's folder and of its parent.
    std::array<HANDLE, 2> folderChanges_{INVALID_HANDLE_VALUE, INVALID_HANDLE_VALUE};
    // The folder list's rows; each item of the list holds its index here.
    std::vector<Editor::FolderRow> folderRows_;
    std::vector<std::string> messages_;
    std::unique_ptr<PreviewView> preview_;
    std::unique_ptr<ProblemWindow> problemWindow_;
};

} // namespace quillfen::win32
