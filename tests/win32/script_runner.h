#pragma once

#include "scenarios/window_script.h"

#include <functional>
#include <string>
#include <vector>
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

namespace quillfen::win32 {

class MainWindow;
class ScriptedWin32UserInterface;

// Posted to the main window for the next line, so that each line runs once the window has
// handled everything the line before set off.
inline constexpr UINT kRunScript = WM_APP + 1;

// Runs one user scenario (window_script.h) through the main window's own controls, with the
// messages a user's input would send: BM_CLICK on buttons, TVM_SELECTITEM on the tree, typed
// characters, WM_DROPFILES and TVN_BEGINDRAG with the mouse's messages, key presses through the
// window's message loop (so through its accelerators), Alt and a menu's letter, and the tree's
// context menu from the keyboard. Each line and what it found goes to the log; the first line that
// fails ends the window, as does the end of the scenario. First of all it logs where the window and
// its controls stand on the screen. It watches the window's messages through a subclass: its own
// kRunScript and the menus opening.
class ScriptRunner : public script::WindowDriver {
public:
    // Posts kRunScript for the first line.
    ScriptRunner(MainWindow& window, ScriptedWin32UserInterface& ui,
                 std::vector<std::string> lines);
    ~ScriptRunner() override;
    ScriptRunner(const ScriptRunner&) = delete;
    ScriptRunner& operator=(const ScriptRunner&) = delete;

    // Once the message loop has ended: 0 when every line passed, 1 when one failed or the
    // window went before the last line.
    int exitCode();

    // Runs the next line once the keys and commands of the one before have been handled, and
    // posts kRunScript for the one after.
    void runNextLine();
    // A menu opened: the letter the line waits to press goes in.
    void menuOpened();

    std::string answer(const std::string& word) override;
    std::string click(const std::string& control) override;
    std::string selectNode(const std::string& key) override;
    std::string selectFiles(const std::vector<int>& rows) override;
    std::string rename(const std::string& key, const std::string& text) override;
    std::string key(const std::string& menuItem) override;
    std::string menu(const std::string& menu, const std::string& menuItem) override;
    std::string context(const std::string& key, const std::string& menuItem) override;
    std::string type(const std::string& control, const std::string& text) override;
    std::string close() override;
    std::string dropFiles(const std::string& key, const std::vector<std::string>& paths) override;
    std::string dragFiles(const std::string& key) override;
    std::string dragLevel(const std::string& key, int row) override;
    std::string openFile(const std::string& path) override;
    // The mouse pressed and let go on the row, as a user clicks it.
    std::string openFolder(const std::string& name) override;
    // The row chosen with Enter, as the keyboard chooses it.
    std::string selectProblem(const std::string& key) override;
    std::string resize(int width, int height) override;
    bool waitFor(const std::function<bool()>& holds) override;

    std::vector<std::string> rowsUnder(const std::string& key) const override;
    std::string rowText(const std::string& key) const override;
    std::string rowMark(const std::string& key) const override;
    std::vector<std::string> listedFiles() const override;
    std::vector<std::string> folderRows() const override;
    std::string currentFile() const override;
    std::string boxText(const std::string& control) const override;
    std::string statusText() const override;
    std::string lastMessage() const override;
    std::string lastQuestion() const override;
    std::string caption() const override;
    std::vector<std::vector<std::string>> problemRows() const override;
    int widthOf(const std::string& control) const override;
    bool closed() const override;
    const Editor* editor() const override;

private:
    // The tree view's item of the node `key`; null when there is none.
    HTREEITEM itemOf(const std::string& key) const;
    // Presses `key` with the modifiers given, into the control that has the focus.
    void press(UINT key, bool ctrl, bool alt, HWND target);
    // Where the row of `item` stands in the main window, `y` pixels below its top; the row
    // scrolled into sight.
    POINT pointOf(HTREEITEM item, int y) const;
    void logPlacement() const;
    void finish(bool passed);

    MainWindow& window_;
    ScriptedWin32UserInterface& ui_;
    HWND tree_;
    std::vector<std::string> lines_;
    std::size_t next_ = 0;
    // The rest of a line, once the window has handled what its first keys set off: an empty
    // text, or what went wrong.
    std::function<std::string()> then_;
    // A menu's letter to press once the menu is open; 0: none.
    UINT menuLetter_ = 0;
    int waits_ = 0;
    // A line that waits for the window runs again until it holds or this time is up; 0: none.
    ULONGLONG waitUntil_ = 0;
    bool again_ = false;
    bool finished_ = false, passed_ = false;
};

} // namespace quillfen::win32
