#pragma once

#include <string>
#include <vector>
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

namespace quillfen::win32 {

class MainWindow;
class Win32UserInterface;

// Posted to the main window for the test mode's next line, so that each line runs once the
// window has handled everything the line before set off.
inline constexpr UINT kRunScript = WM_APP + 1;

// The test mode's script at `path`, one command a line, empty lines left out; nothing when it
// cannot be read.
std::vector<std::string> readScript(const std::wstring& path);

// The test mode: drives the main window through its own controls' messages, as a user would,
// one line of a script at a time, and logs each line and the window's caption after it.
//   answer WORD          the next question's answer (see Win32UserInterface)
//   click NAME           BM_CLICK on a button
//   select-files I...    LB_SETSEL of those rows of the level-file list alone
//   select-node KEY      TVM_SELECTITEM of the node's item
//   rename KEY TEXT      the in-place edit of the node's item, typed and ended
//   key NAME             a shortcut: save, undo, redo, delete, up, down, rename, refresh
//   text NAME TEXT       sets a text box's text
//   log-tree             writes the tree view's items (key and text), depth first
//   close                WM_CLOSE
class ScriptRunner {
public:
    ScriptRunner(const MainWindow& window, Win32UserInterface& ui, std::vector<std::string> lines);

    // Runs the next line, if the window is still there, and posts kRunScript for the one after.
    void runNextLine();

private:
    void run(const std::string& verb, const std::string& rest);
    // The tree view's item of the node `key`; null when there is none.
    HTREEITEM itemOf(const std::string& key) const;
    void logTree() const;

    const MainWindow& window_;
    Win32UserInterface& ui_;
    HWND tree_;
    std::vector<std::string> lines_;
    std::size_t next_ = 0;
};

} // namespace quillfen::win32
