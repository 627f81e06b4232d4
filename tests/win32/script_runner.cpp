#include "script_runner.h"

#include "editor/window_menus.h"
#include "host/windows_text.h"
#include "scripted_win32_user_interface.h"
#include "win32/main_window.h"
#include "win32/tree_view.h"

#include <algorithm>
#include <cctype>
#include <functional>
#include <shlobj.h>

namespace quillfen::win32 {
namespace {

// Calls `visit` with every item of `tree`, depth first, until it returns true.
bool visitItems(HWND tree, HTREEITEM first, const std::function<bool(HTREEITEM)>& visit) {
    for (HTREEITEM item = first; item; item = TreeView_GetNextSibling(tree, item))
        if (visit(item) || visitItems(tree, TreeView_GetChild(tree, item), visit))
            return true;
    return false;
}

// The text the tree shows on the item.
std::string itemText(HWND tree, HTREEITEM item) {
    wchar_t text[256] = {};
    TVITEMW data{};
    data.mask = TVIF_TEXT;
    data.hItem = item;
    data.pszText = text;
    data.cchTextMax = 256;
    TreeView_GetItem(tree, &data);
    return narrowed(text);
}

// Every key up, as after the user let go.
void releaseKeys() {
    BYTE keys[256];
    ::GetKeyboardState(keys);
    for (int key : {VK_CONTROL, VK_LCONTROL, VK_MENU, VK_LMENU, VK_SHIFT, VK_LSHIFT})
        keys[key] = 0;
    ::SetKeyboardState(keys);
}

// The messages of a key press: WM_KEYDOWN, or WM_SYSKEYDOWN with Alt, with the key's scan code.
void postKey(HWND target, UINT key, bool alt) {
    LPARAM data = 1 | static_cast<LPARAM>(::MapVirtualKeyW(key, MAPVK_VK_TO_VSC)) << 16;
    if (alt)
        data |= LPARAM{1} << 29;
    ::PostMessageW(target, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, key, data);
}

// A line that waits runs again once the window has been idle a while, so that the message loop
// sees the folder's changes meanwhile.
void CALLBACK runAgain(HWND window, UINT, UINT_PTR timer, DWORD) {
    ::KillTimer(window, timer);
    ::PostMessageW(window, kRunScript, 0, 0);
}

// The main window's messages that the runner waits for, before the window's own handling.
LRESULT CALLBACK watchWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                             DWORD_PTR runner) {
    switch (message) {
    case WM_INITMENUPOPUP:
        reinterpret_cast<ScriptRunner*>(runner)->menuOpened();
        break;
    case kRunScript:
        reinterpret_cast<ScriptRunner*>(runner)->runNextLine();
        return 0;
    case WM_NCDESTROY:
        ::RemoveWindowSubclass(window, watchWindow, 0);
        break;
    }
    return ::DefSubclassProc(window, message, wParam, lParam);
}

} // namespace

ScriptRunner::ScriptRunner(MainWindow& window, ScriptedWin32UserInterface& ui,
                           std::vector<std::string> lines)
    : window_(window), ui_(ui), tree_(window.controlNamed(window::kProfileTree.name)),
      lines_(std::move(lines)) {
    ::SetWindowSubclass(window_.handle(), watchWindow, 0, reinterpret_cast<DWORD_PTR>(this));
    ::PostMessageW(window_.handle(), kRunScript, 0, 0);
}

ScriptRunner::~ScriptRunner() {
    if (!closed())
        ::RemoveWindowSubclass(window_.handle(), watchWindow, 0);
}

int ScriptRunner::exitCode() {
    if (!finished_) {
        ui_.logLine("FAILED: the window went before the scenario's end");
        finish(false);
    }
    return passed_ ? 0 : 1;
}

void ScriptRunner::runNextLine() {
    // Keys pressed and commands posted by the line before are handled first, as a user waits
    // for the window to answer; a menu the line opened is still waiting for its letter.
    const DWORD pending = HIWORD(::GetQueueStatus(QS_KEY | QS_POSTMESSAGE | QS_SENDMESSAGE));
    if ((pending != 0 || menuLetter_ != 0) && ++waits_ < 200) {
        ::PostMessageW(window_.handle(), kRunScript, 0, 0);
        return;
    }
    waits_ = 0;
    menuLetter_ = 0;
    releaseKeys();
    if (next_ == 0)
        logPlacement();
    if (then_) {
        if (std::string failed = std::exchange(then_, nullptr)(); !failed.empty()) {
            ui_.logLine("FAILED: " + failed);
            finish(false);
        } else {
            ::PostMessageW(window_.handle(), kRunScript, 0, 0);
        }
        return;
    }
    while (next_ < lines_.size()) {
        const std::string& line = lines_[next_++];
        if (waitUntil_ == 0)
            ui_.logLine("> " + line);
        if (std::string failed = script::runLine(line, *this); !failed.empty()) {
            if (std::exchange(again_, false)) {
                --next_;
                ::SetTimer(window_.handle(), reinterpret_cast<UINT_PTR>(this), 50, runAgain);
                return;
            }
            ui_.logLine("FAILED: " + failed);
            finish(false);
            return;
        }
        // Once the window is gone the lines left only look at what it left behind.
        if (!closed()) {
            ::PostMessageW(window_.handle(), kRunScript, 0, 0);
            return;
        }
    }
    finish(true);
}

// The window's end ends the message loop.
void ScriptRunner::finish(bool passed) {
    finished_ = true;
    passed_ = passed;
    ui_.logLine(passed ? "passed" : "failed");
    if (!closed())
        ::DestroyWindow(window_.handle());
}

void ScriptRunner::menuOpened() {
    if (menuLetter_ == 0)
        return;
    releaseKeys();
    postKey(window_.handle(), std::exchange(menuLetter_, 0), false);
}

void ScriptRunner::press(UINT key, bool ctrl, bool alt, HWND target) {
    BYTE keys[256];
    ::GetKeyboardState(keys);
    keys[VK_CONTROL] = keys[VK_LCONTROL] = ctrl ? 0x80 : 0;
    keys[VK_MENU] = keys[VK_LMENU] = alt ? 0x80 : 0;
    ::SetKeyboardState(keys);
    postKey(target ? target : window_.handle(), key, alt);
}

// Where the window and each control stand: a control outside the screen or of no size is named.
void ScriptRunner::logPlacement() const {
    RECT frame{};
    ::GetWindowRect(window_.handle(), &frame);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    ::GetMonitorInfoW(::MonitorFromWindow(window_.handle(), MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& screen = monitor.rcMonitor;
    ui_.logLine("window: " + std::to_string(frame.left) + " " + std::to_string(frame.top) + " " +
                std::to_string(frame.right) + " " + std::to_string(frame.bottom) + " dpi " +
                std::to_string(::GetDpiForWindow(window_.handle())) + " screen " +
                std::to_string(screen.right - screen.left) + "x" +
                std::to_string(screen.bottom - screen.top));
    for (const auto& [name, control] : window_.controls()) {
        if (!::IsWindowVisible(control))
            continue;
        RECT at{};
        ::GetWindowRect(control, &at);
        RECT inside{};
        if (at.right <= at.left || at.bottom <= at.top || !::IntersectRect(&inside, &at, &screen) ||
            !::EqualRect(&inside, &at))
            ui_.logLine("off screen: " + name);
    }
}

std::string ScriptRunner::answer(const std::string& word) {
    ui_.queueAnswer(word);
    return {};
}

std::string ScriptRunner::click(const std::string& control) {
    HWND button = window_.controlNamed(control);
    if (!button)
        return "no control named " + control;
    if (!::IsWindowVisible(button) || !::IsWindowEnabled(button))
        return control + " cannot be clicked";
    ::SendMessageW(button, BM_CLICK, 0, 0);
    return {};
}

std::string ScriptRunner::selectNode(const std::string& key) {
    HTREEITEM item = itemOf(key);
    if (!item)
        return "no row for node " + key;
    ::SetFocus(tree_);
    TreeView_SelectItem(tree_, item);
    return {};
}

std::string ScriptRunner::selectFiles(const std::vector<int>& rows) {
    LevelFileList& files = window_.levelFiles();
    for (int row : rows)
        if (row < 0 || row >= static_cast<int>(files.names().size()))
            return "the level-file list has no row " + std::to_string(row);
    ::SetFocus(files.handle());
    files.select(rows);
    return {};
}

std::string ScriptRunner::rename(const std::string& key, const std::string& text) {
    if (std::string failed = selectNode(key); !failed.empty())
        return failed;
    press(VK_F2, false, false, tree_);
    // Once F2 has opened the row's text box: the text typed, then Enter, through the window's
    // message loop as a user's keys go.
    then_ = [this, key, text]() -> std::string {
        HWND edit = TreeView_GetEditControl(tree_);
        if (!edit)
            return "F2 opened no text box on the row of " + key;
        ::SendMessageW(edit, EM_SETSEL, 0, -1);
        for (wchar_t c : widened(text))
            ::SendMessageW(edit, WM_CHAR, c, 1);
        postKey(edit, VK_RETURN, false);
        return {};
    };
    return {};
}

std::string ScriptRunner::key(const std::string& menuItem) {
    if (menuItem == "Enter") {
        press(VK_RETURN, false, false, ::GetFocus());
        return {};
    }
    const window::MenuItem* item = window::menuItemNamed(menuItem);
    if (!item || item->shortcut.key == window::Key::None)
        return "no shortcut for " + menuItem;
    press(virtualKey(item->shortcut.key), item->shortcut.ctrl, item->shortcut.alt, ::GetFocus());
    return {};
}

std::string ScriptRunner::menu(const std::string& menuName, const std::string& menuItem) {
    for (const window::Menu& menu : window::kMenus) {
        if (menuName != menu.name)
            continue;
        for (const window::MenuItem& item : menu.items)
            if (menuItem == item.name) {
                // Alt and the menu's letter; the item's letter once the menu is open.
                menuLetter_ = static_cast<UINT>(std::toupper(item.mnemonic));
                press(static_cast<UINT>(std::toupper(menu.mnemonic)), false, true,
                      window_.handle());
                return {};
            }
    }
    return "no menu item " + menuName + " " + menuItem;
}

std::string ScriptRunner::context(const std::string& key, const std::string& menuItem) {
    const window::MenuItem* item = window::menuItemNamed(menuItem);
    if (!item)
        return "no menu item " + menuItem;
    if (std::string failed = selectNode(key); !failed.empty())
        return failed;
    // The menu key's message: the context menu under the selected row, its item's letter
    // pressed once it is open.
    menuLetter_ = static_cast<UINT>(std::toupper(item->mnemonic));
    ::SendMessageW(tree_, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(tree_), MAKELPARAM(-1, -1));
    if (menuLetter_ != 0) {
        menuLetter_ = 0;
        return "no context menu opened on " + key;
    }
    return {};
}

std::string ScriptRunner::type(const std::string& control, const std::string& text) {
    HWND box = window_.controlNamed(control);
    if (!box)
        return "no control named " + control;
    // A combo box is typed into through its text box.
    COMBOBOXINFO combo{};
    combo.cbSize = sizeof(combo);
    if (::GetComboBoxInfo(box, &combo))
        box = combo.hwndItem;
    ::SetFocus(box);
    ::SendMessageW(box, EM_SETSEL, 0, -1);
    for (wchar_t c : widened(text))
        ::SendMessageW(box, WM_CHAR, c, 1);
    return {};
}

std::string ScriptRunner::close() {
    ::SendMessageW(window_.handle(), WM_CLOSE, 0, 0);
    return {};
}

POINT ScriptRunner::pointOf(HTREEITEM item, int y) const {
    TreeView_EnsureVisible(tree_, item);
    RECT row{};
    TreeView_GetItemRect(tree_, item, &row, TRUE);
    POINT at{(row.left + row.right) / 2, row.top + y};
    ::MapWindowPoints(tree_, window_.handle(), &at, 1);
    return at;
}

std::string ScriptRunner::dropFiles(const std::string& key, const std::vector<std::string>& paths) {
    HTREEITEM item = itemOf(key);
    if (!item)
        return "no row for node " + key;
    // As Explorer drops files: DROPFILES, then the wide paths, each ended, and an empty one.
    std::wstring names;
    for (const std::string& path : paths)
        names += widened(path) + L'\0';
    names += L'\0';
    HGLOBAL drop = ::GlobalAlloc(GHND, sizeof(DROPFILES) + names.size() * sizeof(wchar_t));
    auto* files = static_cast<DROPFILES*>(::GlobalLock(drop));
    files->pFiles = sizeof(DROPFILES);
    files->pt = pointOf(item, 2);
    files->fWide = TRUE;
    std::copy(names.begin(), names.end(), reinterpret_cast<wchar_t*>(files + 1));
    ::GlobalUnlock(drop);
    ::PostMessageW(window_.handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    return {};
}

std::string ScriptRunner::dragFiles(const std::string& key) {
    HTREEITEM item = itemOf(key);
    if (!item)
        return "no row for node " + key;
    // What the list tells its window when the mouse drags its selection, then the mouse moved
    // over the row and let go there.
    HWND list = window_.levelFiles().handle();
    NMLISTVIEW drag{};
    drag.hdr = {list, static_cast<UINT_PTR>(::GetDlgCtrlID(list)), LVN_BEGINDRAG};
    drag.iItem = ListView_GetNextItem(list, -1, LVNI_SELECTED);
    ::SendMessageW(::GetParent(list), WM_NOTIFY, drag.hdr.idFrom, reinterpret_cast<LPARAM>(&drag));
    const POINT at = pointOf(item, 2);
    ::PostMessageW(window_.handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    ::PostMessageW(window_.handle(), WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    return {};
}

std::string ScriptRunner::dragLevel(const std::string& key, int row) {
    HTREEITEM level = itemOf(key);
    if (!level)
        return "no row for node " + key;
    HTREEITEM over = TreeView_GetChild(tree_, TreeView_GetParent(tree_, level));
    for (int i = 0; over && i < row; ++i)
        over = TreeView_GetNextSibling(tree_, over);
    if (!over)
        return "no row " + std::to_string(row) + " beside " + key;
    // What the tree tells its window when the mouse drags a row, then the mouse moved to the
    // top of the target row and let go there.
    NMTREEVIEWW drag{};
    drag.hdr = {tree_, static_cast<UINT_PTR>(::GetDlgCtrlID(tree_)), TVN_BEGINDRAGW};
    drag.action = TVC_BYMOUSE;
    drag.itemNew.hItem = level;
    drag.itemNew.mask = TVIF_HANDLE | TVIF_PARAM;
    TreeView_GetItem(tree_, &drag.itemNew);
    ::SendMessageW(::GetParent(tree_), WM_NOTIFY, drag.hdr.idFrom, reinterpret_cast<LPARAM>(&drag));
    const POINT at = pointOf(over, 2);
    ::PostMessageW(window_.handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    ::PostMessageW(window_.handle(), WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    return {};
}

std::string ScriptRunner::resize(int width, int height) {
    ::SetWindowPos(window_.handle(), nullptr, 0, 0, width, height,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return {};
}

bool ScriptRunner::waitFor(const std::function<bool()>& holds) {
    if (holds()) {
        waitUntil_ = 0;
        return true;
    }
    if (waitUntil_ == 0)
        waitUntil_ = ::GetTickCount64() + 5000;
    again_ = ::GetTickCount64() < waitUntil_;
    if (!again_)
        waitUntil_ = 0;
    return false;
}

std::string ScriptRunner::openFile(const std::string& path) {
    window_.openFile("C:\\" + path);
    return {};
}

std::string ScriptRunner::openFolder(const std::string& name) {
    HWND folders = window_.controlNamed(window::kFolderList.name);
    HTREEITEM found = nullptr;
    visitItems(folders, TreeView_GetRoot(folders), [&](HTREEITEM item) {
        found = itemText(folders, item) == name ? item : nullptr;
        return found != nullptr;
    });
    if (!found)
        return "the folder list has no row " + name;
    TreeView_EnsureVisible(folders, found);
    RECT row{};
    TreeView_GetItemRect(folders, found, &row, TRUE);
    const LPARAM at = MAKELPARAM((row.left + row.right) / 2, (row.top + row.bottom) / 2);
    ::PostMessageW(folders, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::PostMessageW(folders, WM_LBUTTONUP, 0, at);
    return {};
}

std::vector<std::string> ScriptRunner::folderRows() const {
    HWND folders = window_.controlNamed(window::kFolderList.name);
    std::vector<std::string> names;
    visitItems(folders, TreeView_GetRoot(folders), [&](HTREEITEM item) {
        names.push_back(itemText(folders, item));
        return false;
    });
    return names;
}

std::string ScriptRunner::selectProblem(const std::string& key) {
    HWND list = window_.controlNamed(window::kProblemList.name);
    if (!list || !::IsWindowVisible(list))
        return "View > Problems is not open";
    const std::vector<std::vector<std::string>> rows = problemRows();
    for (std::size_t row = 0; row < rows.size(); ++row) {
        if (rows[row][window::kProblemKeyColumn] != (key == "-" ? "" : key))
            continue;
        const int at = static_cast<int>(row);
        ::SetFocus(list);
        ListView_SetItemState(list, at, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
        ListView_EnsureVisible(list, at, FALSE);
        postKey(list, VK_RETURN, false);
        return {};
    }
    return "View > Problems has no row of " + key;
}

std::vector<std::vector<std::string>> ScriptRunner::problemRows() const {
    HWND list = window_.controlNamed(window::kProblemList.name);
    std::vector<std::vector<std::string>> rows;
    const int columns = list ? Header_GetItemCount(ListView_GetHeader(list)) : 0;
    for (int row = 0; list && row < ListView_GetItemCount(list); ++row) {
        rows.emplace_back();
        for (int column = 0; column < columns; ++column) {
            wchar_t text[1024] = {};
            ListView_GetItemText(list, row, column, text, 1024);
            rows.back().push_back(narrowed(text));
        }
    }
    return rows;
}

std::string ScriptRunner::currentFile() const {
    const int row = ListView_GetNextItem(window_.levelFiles().handle(), -1, LVNI_FOCUSED);
    const auto& names = window_.levelFiles().names();
    return row >= 0 && static_cast<std::size_t>(row) < names.size()
               ? names[static_cast<std::size_t>(row)]
               : std::string();
}

std::vector<std::string> ScriptRunner::listedFiles() const {
    return window_.levelFiles().names();
}

std::vector<std::string> ScriptRunner::rowsUnder(const std::string& key) const {
    std::vector<std::string> rows;
    HTREEITEM first = key == "-" ? TreeView_GetRoot(tree_) : nullptr;
    if (key != "-")
        if (HTREEITEM parent = itemOf(key))
            first = TreeView_GetChild(tree_, parent);
    for (HTREEITEM item = first; item; item = TreeView_GetNextSibling(tree_, item))
        rows.push_back(TreeViewSync::node(tree_, item)->key());
    return rows;
}

std::string ScriptRunner::rowText(const std::string& key) const {
    HTREEITEM item = itemOf(key);
    return item ? itemText(tree_, item) : std::string();
}

std::string ScriptRunner::rowMark(const std::string& key) const {
    HTREEITEM item = itemOf(key);
    if (!item)
        return "(no node " + key + ")";
    const bool marked = (TreeView_GetItemState(tree_, item, TVIS_STATEIMAGEMASK) >> 12) != 0;
    // The tooltip as the tree asks its parent for it when the mouse rests on the row.
    wchar_t text[1024] = {};
    NMTVGETINFOTIPW tip{};
    tip.hdr.hwndFrom = tree_;
    tip.hdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(tree_));
    tip.hdr.code = TVN_GETINFOTIPW;
    tip.pszText = text;
    tip.cchTextMax = 1024;
    tip.hItem = item;
    ::SendMessageW(::GetParent(tree_), WM_NOTIFY, tip.hdr.idFrom, reinterpret_cast<LPARAM>(&tip));
    const std::string shown = narrowed(text);
    if (marked != !shown.empty())
        return marked ? "(a mark without a tooltip)" : "(a tooltip without a mark) " + shown;
    return shown;
}

std::string ScriptRunner::boxText(const std::string& control) const {
    HWND box = window_.controlNamed(control);
    return box ? narrowed(textOfWindow(box)) : std::string();
}

std::string ScriptRunner::statusText() const {
    HWND status = window_.controlNamed("statusLabel");
    std::string text;
    for (int part = 0; part < 2; ++part) {
        std::wstring shown(LOWORD(::SendMessageW(status, SB_GETTEXTLENGTHW, part, 0)) + 1, L'\0');
        shown.resize(LOWORD(
            ::SendMessageW(status, SB_GETTEXTW, part, reinterpret_cast<LPARAM>(shown.data()))));
        text += (text.empty() ? "" : " | ") + narrowed(shown);
    }
    return text;
}

std::string ScriptRunner::lastMessage() const {
    return ui_.lastMessage();
}

std::string ScriptRunner::lastQuestion() const {
    return ui_.lastQuestion();
}

std::string ScriptRunner::caption() const {
    return closed() ? std::string() : narrowed(textOfWindow(window_.handle()));
}

int ScriptRunner::widthOf(const std::string& control) const {
    HWND shown = window_.controlNamed(control);
    RECT client{};
    return shown && ::IsWindowVisible(shown) && ::GetClientRect(shown, &client) ? client.right : -1;
}

bool ScriptRunner::closed() const {
    return !::IsWindow(window_.handle());
}

const Editor* ScriptRunner::editor() const {
    return closed() ? nullptr : &window_.editor();
}

HTREEITEM ScriptRunner::itemOf(const std::string& key) const {
    HTREEITEM found = nullptr;
    visitItems(tree_, TreeView_GetRoot(tree_), [&](HTREEITEM item) {
        if (TreeViewSync::node(tree_, item)->key() != key)
            return false;
        found = item;
        return true;
    });
    return found;
}

} // namespace quillfen::win32
