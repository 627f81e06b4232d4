#pragma once

#include <functional>
#include <string>
#include <vector>

// The user scenarios that every window's test driver runs: a script of what a user does through
// the window's own controls and what the window then shows. Each window drives itself through a
// WindowDriver; the script's reading and its checks live here once, so that a feature missing in
// one window fails the same line there.
//
// A script is lines of words; the last word of a line may hold spaces. Texts are UTF-8.
//   scenario NAME           a scenario begins: the driver opens a window on a fresh fixture
//                           (the demo prefix of `quillfen-cli demo-prefix`: profiles Alice, Bob
//                           and Zoë, and 中文玩家 on Bob's file; the folder list starts in
//                           C:\LEMM\LEVELS)
//   answer WORD             the next question's answer, taken by the next question asked:
//                           yes, no, cancel, save, discard, import, replace, delete; text:TEXT for
//                           an input box; path:PATH for a file or folder chooser, PATH under the
//                           fixture's drive C (LEMM\PACKS\LEVEL000.DAT: C:\LEMM\... on
//                           Windows, the prefix's drive_c/LEMM/... on Linux). A question with no
//                           answer left is cancelled.
//                           The fixture also holds LEMM\PACKS\LEVEL000.DAT, a DOS level pack
//                           of two levels.
//   click CONTROL           a button, by its name in window_texts.h
//   select-node KEY         a click on the node's row in the tree
//   select-files ROW...     those rows of the level-file list selected, and only they
//   rename KEY TEXT         F2 on the node, TEXT typed, Enter
//   key NAME                a shortcut from window_menus.h, by the menu item's name
//                           ("saveProfileAction"), pressed where the focus is: the control
//                           last typed into, clicked or selected in; Enter: the Enter key
//   menu MENU ITEM          a menu item chosen from the keyboard: Alt and the menu's mnemonic,
//                           then the item's mnemonic (names from window_menus.h)
//   context KEY ITEM        the node's context menu opened from the keyboard and the item chosen
//   type CONTROL TEXT       TEXT typed into a text box, replacing what it held
//   close                   the window asked to close
//   open-file PATH          the file PATH under the fixture's drive C (as in path:PATH) opened
//                           as `quillfen PATH` opens it once its window shows
//   drop-files KEY NAME...  level files of the folder list's folder dropped from a file manager
//                           onto the node's row
//   drag-files KEY          the level-file list's selected files dragged with the mouse onto the
//                           node's row
//   drag-level KEY ROW      the level dragged with the mouse onto the upper half of row ROW of
//                           its set (it lands before the level that row shows)
//   add-file NAME FROM      the folder list's level file FROM copied to NAME there, from outside
//                           the window
//   add-folder NAME         a folder NAME made in the folder list's folder (../NAME: beside it),
//                           from outside the window
//   expect-rows KEY KEY...  the view's rows under node KEY (- for the top level), in order
//   expect-text KEY TEXT    the node's row shows TEXT
//   expect-box CONTROL TEXT a text box (or a label) holds TEXT
//   expect-status TEXT      the status bar shows TEXT (within its text)
//   expect-message TEXT     the last message box said TEXT
//   expect-asked TEXT       the last question asked holds TEXT
//   expect-caption TEXT     the window's caption shows TEXT (within its text)
//   expect-modified yes|no  the caption marks unsaved edits, or not
//   expect-saved            the loaded profile's file holds the tree the window shows
//   expect-counts FILE N... the level file FILE of the folder list's folder holds these nine
//                           counts
//   open-folder NAME        a click on the folder list's row that shows the folder NAME
//   expect-folders NAME...  the folder list's rows, in order, their names without indentation,
//                           from the first row that shows the first NAME (the rows above, the
//                           root's way down to C:, differ between hosts), once the window has
//                           followed its folder (a few seconds at most)
//   expect-listed NAME...   the level-file list shows these files, once the window has followed
//                           its folder (a few seconds at most)
//   expect-current-file NAME the level-file list's current file is NAME
//   window-size W H         the window's frame made W x H pixels
//   expect-closed           the window is gone
//   expect-width CONTROL N  the control is at least N pixels wide (a Qt widget's width, a Win32
//                           control's client area)
//   select-problem KEY      a click on the row of node KEY (- for a note on the whole install) in
//                           View > Problems
//   expect-problem KEY TEXT View > Problems has a row of node KEY (-: the whole install) that
//                           shows TEXT; none: it has no row of KEY
//   expect-mark KEY TEXT    the node's row in the tree is marked, with TEXT in the mark's
//                           tooltip; none: it is not marked and has no tooltip
namespace quillfen {

class Editor;

namespace script {

// What a window's test driver does for the lines of a script. Each action returns an empty
// text, or what kept it from being done ("no control named x").
class WindowDriver {
public:
    virtual ~WindowDriver() = default;

    virtual std::string answer(const std::string& word) = 0;
    virtual std::string click(const std::string& control) = 0;
    virtual std::string selectNode(const std::string& key) = 0;
    virtual std::string selectFiles(const std::vector<int>& rows) = 0;
    virtual std::string rename(const std::string& key, const std::string& text) = 0;
    virtual std::string key(const std::string& menuItem) = 0;
    virtual std::string menu(const std::string& menu, const std::string& menuItem) = 0;
    virtual std::string context(const std::string& key, const std::string& menuItem) = 0;
    virtual std::string type(const std::string& control, const std::string& text) = 0;
    virtual std::string close() = 0;
    virtual std::string dropFiles(const std::string& key,
                                  const std::vector<std::string>& paths) = 0;
    virtual std::string dragFiles(const std::string& key) = 0;
    virtual std::string dragLevel(const std::string& key, int row) = 0;
    virtual std::string openFile(const std::string& path) = 0;
    virtual std::string openFolder(const std::string& name) = 0;
    virtual std::string selectProblem(const std::string& key) = 0;
    virtual std::string resize(int width, int height) = 0;
    // Lets the window handle what comes from outside it until `holds`, a few seconds at most:
    // false once they are up. A driver whose window cannot be waited for here returns false and
    // runs the line again later.
    virtual bool waitFor(const std::function<bool()>& holds) = 0;

    // What the window shows (texts UTF-8).
    virtual std::vector<std::string> rowsUnder(const std::string& key) const = 0;
    virtual std::string rowText(const std::string& key) const = 0;
    // The tooltip of the node's mark in the tree; empty when the row has neither mark nor
    // tooltip, and a tooltip without a mark, or a mark without one, says so.
    virtual std::string rowMark(const std::string& key) const = 0;
    virtual std::vector<std::string> listedFiles() const = 0;
    // The folder list's rows, from the top: each folder's name as shown.
    virtual std::vector<std::string> folderRows() const = 0;
    // The level-file list's current file; empty when there is none.
    virtual std::string currentFile() const = 0;
    virtual std::string boxText(const std::string& control) const = 0;
    virtual std::string statusText() const = 0;
    virtual std::string lastMessage() const = 0;
    virtual std::string lastQuestion() const = 0;
    virtual std::string caption() const = 0;
    // The rows of View > Problems, each its cells in the order of window::kProblemColumns.
    virtual std::vector<std::vector<std::string>> problemRows() const = 0;
    // The control's width in pixels; -1 when there is no control of that name.
    virtual int widthOf(const std::string& control) const = 0;
    virtual bool closed() const = 0;
    // The window's Editor, for the checks of what is on disk; null once the window is gone.
    virtual const Editor* editor() const = 0;
};

struct Scenario {
    std::string name;
    // The scenario's lines, "scenario" and empty lines and comments (#) left out.
    std::vector<std::string> lines;
};

// The scenarios of a script.
std::vector<Scenario> readScenarios(const std::string& text);

// Runs one line through `driver`: an empty text, or what went wrong ("expect-rows parent1:
// the view shows level2 level1, expected level1 level2").
std::string runLine(const std::string& line, WindowDriver& driver);

} // namespace script
} // namespace quillfen
