#pragma once

#include "editor/editor.h"
#include "editor/window_texts.h"
#include "win32/control_layout.h"
#include "win32/tree_view.h"
#include "win32/win32_user_interface.h"

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace quillfen::win32 {

class PreviewView;
class ScriptRunner;

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
    // Keyboard shortcuts: true when the message was one.
    bool translateAccelerator(MSG& message);

    // The test mode: runs `lines` one by one once start-up is done (see ScriptRunner).
    void runScript(std::vector<std::string> lines);

private:
    // main_window_controls.cpp
    void createControls();
    void createMenus();
    void layOut();
    HWND addControl(const wchar_t* className, const window::ControlText& text, DWORD style, int id,
                    DWORD exStyle = 0);

    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void command(int id, int code);
    LRESULT notify(NMHDR* header);
    // Start-up, in the order of the game's editor.
    bool start();
    // Runs one edit of the tree with the view following it, then shows its outcome.
    void runEdit(const std::function<Outcome()>& action);
    void showOutcome(const Outcome& outcome);
    void showPanel(const std::optional<DetailPanel>& panel);
    void showDocumentState();
    void showCoreSelection();
    Progress progressReport();
    TextAnswer textOf(HWND control) const;
    void onSaveLevelInfo();
    // "Import Level Pack...": the pack, then the folder for its level files.
    void onImportPack();
    void onHelp();
    void close();

    // main_window_lists.cpp: the profile box, the folder list and the level-file list.
    void fillProfiles(const std::vector<std::string>& names, bool selectFirst);
    void onProfileChosen();
    void listLevelFiles(const std::string& folder);
    void setFolder(const std::string& folder);
    void onFolderDoubleClick();
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
    HMENU editMenu_ = nullptr;
    HACCEL accelerators_ = nullptr, treeAccelerators_ = nullptr;
    HFONT font_ = nullptr;
    std::map<std::string, HWND> controls_;
    HWND profileBox = nullptr, folderPathEdit = nullptr, folderList = nullptr,
         levelFileList = nullptr;
    HWND levelCountLabel = nullptr, profileTree = nullptr, groupFolderEdit = nullptr,
         levelFileEdit = nullptr;
    HWND lemmingsEdit = nullptr, progressBar = nullptr, loadProfileButton = nullptr;
    std::array<HWND, kCountBoxes - 1> actionEdits{};
    std::unique_ptr<TreeViewSync> sync_;
    // While a core command changes the tree, the view's selection changes are no clicks.
    bool followingCore_ = false;
    std::unique_ptr<ScriptRunner> script_;
    std::unique_ptr<PreviewView> preview_;
};

} // namespace quillfen::win32
