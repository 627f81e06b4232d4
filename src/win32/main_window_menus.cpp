// The menus of MainWindow, their keyboard shortcuts and the tree's context menu, all built from
// the one table of window_menus.h, and what each command does.
#include "editor/window_menus.h"
#include "host/windows_text.h"
#include "win32/main_window.h"
#include "win32/preview_view.h"
#include "win32/problem_window.h"
#include "win32/resource.h"

#include <vector>

namespace quillfen::win32 {
namespace {

// Where the profiles come from the registry there is no Wine prefix to choose.
bool offered(window::Command command) {
    return command != window::Command::WinePrefix;
}

// Keys that a text box or a list uses itself act as shortcuts only while the tree has the
// focus: Delete edits a text, Alt+Down opens a list, F2 is nothing elsewhere.
bool treeOnly(const window::Shortcut& shortcut) {
    return shortcut.key == window::Key::Delete || shortcut.key == window::Key::F2 ||
           ((shortcut.key == window::Key::Up || shortcut.key == window::Key::Down) && shortcut.alt);
}

UINT commandId(window::Command command) {
    return ID_MENU_COMMAND + static_cast<UINT>(command);
}

// The item's text as a menu shows it: its mnemonic marked, its shortcut after a tab.
std::wstring itemText(const window::MenuItem& item) {
    std::wstring text = wide(window::withMnemonic(item.text, item.mnemonic));
    if (std::string keys = shortcutText(item.shortcut); !keys.empty())
        text += L"\t" + wide(keys);
    return text;
}

INT_PTR CALLBACK messagesProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        ::SetWindowTextW(dialog, wide(window::kMessages).c_str());
        HWND list = ::GetDlgItem(dialog, IDC_MESSAGE_LIST);
        for (const std::string& text : *reinterpret_cast<const std::vector<std::string>*>(lParam))
            ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widened(text).c_str()));
        // The newest at the bottom, in view.
        ::SendMessageW(list, LB_SETTOPINDEX, ::SendMessageW(list, LB_GETCOUNT, 0, 0) - 1, 0);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            ::EndDialog(dialog, 0);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

} // namespace

UINT virtualKey(window::Key key) {
    switch (key) {
    case window::Key::None:
        return 0;
    case window::Key::S:
        return 'S';
    case window::Key::Q:
        return 'Q';
    case window::Key::Z:
        return 'Z';
    case window::Key::Y:
        return 'Y';
    case window::Key::Delete:
        return VK_DELETE;
    case window::Key::Up:
        return VK_UP;
    case window::Key::Down:
        return VK_DOWN;
    case window::Key::F1:
        return VK_F1;
    case window::Key::F2:
        return VK_F2;
    case window::Key::F5:
        return VK_F5;
    }
    return 0;
}

void MainWindow::createMenus() {
    HMENU bar = ::CreateMenu();
    for (const window::Menu& menu : window::kMenus) {
        HMENU popup = ::CreatePopupMenu();
        for (const window::MenuItem& item : menu.items) {
            if (!offered(item.command))
                continue;
            ::AppendMenuW(popup, MF_STRING, commandId(item.command), itemText(item).c_str());
            if (item.separatorAfter)
                ::AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
        }
        ::AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup),
                      wide(window::withMnemonic(menu.title, menu.mnemonic)).c_str());
        if (std::string_view(menu.title) == window::kEditMenu)
            editMenu_ = popup;
    }
    ::SetMenu(window_, bar);
}

void MainWindow::createAccelerators() {
    std::vector<ACCEL> everywhere, inTree;
    for (const window::Menu& menu : window::kMenus)
        for (const window::MenuItem& item : menu.items) {
            if (item.shortcut.key == window::Key::None || !offered(item.command))
                continue;
            ACCEL key{};
            key.fVirt = static_cast<BYTE>(FVIRTKEY | (item.shortcut.ctrl ? FCONTROL : 0) |
                                          (item.shortcut.alt ? FALT : 0));
            key.key = static_cast<WORD>(virtualKey(item.shortcut.key));
            key.cmd = static_cast<WORD>(commandId(item.command));
            (treeOnly(item.shortcut) ? inTree : everywhere).push_back(key);
        }
    // Redo also takes Ctrl+Shift+Z, as readme.html says and as the Linux window takes it.
    everywhere.push_back(
        {FVIRTKEY | FCONTROL | FSHIFT, 'Z', static_cast<WORD>(commandId(window::Command::Redo))});
    accelerators_ =
        ::CreateAcceleratorTableW(everywhere.data(), static_cast<int>(everywhere.size()));
    treeAccelerators_ = ::CreateAcceleratorTableW(inTree.data(), static_cast<int>(inTree.size()));
}

void MainWindow::runCommand(window::Command command) {
    using window::Command;
    switch (command) {
    case Command::LoadProfile:
        ::EnableWindow(loadProfileButton, FALSE);
        runEdit([&] {
            return editor_.loadProfile(narrowed(textOfWindow(profileBox)), progressReport());
        });
        ::EnableWindow(loadProfileButton, TRUE);
        // The tree takes the keys from here on, its current node drawn as selected: shown
        // without the focus, the selection is too faint to see, and a click on it renames.
        if (editor_.tree().count() > 0)
            ::SetFocus(profileTree);
        return;
    case Command::SaveProfile:
        showOutcome(editor_.saveProfile(narrowed(textOfWindow(profileBox)), progressReport()));
        return;
    case Command::ImportPack:
        onImportPack();
        return;
    case Command::Quit:
        close();
        return;
    case Command::Undo:
        runEdit([this] { return editor_.undo(); });
        return;
    case Command::Redo:
        runEdit([this] { return editor_.redo(); });
        return;
    case Command::AddGroup:
        addAndName([this] { return editor_.addGroup(); });
        return;
    case Command::AddSet:
        addAndName([this] { return editor_.addSet(); });
        return;
    case Command::AddLevels:
        onAddSelectedLevels();
        return;
    case Command::Delete:
        runEdit([this] { return editor_.deleteSelected(); });
        return;
    case Command::MoveUp:
        runEdit([this] { return editor_.moveUp(); });
        return;
    case Command::MoveDown:
        runEdit([this] { return editor_.moveDown(); });
        return;
    case Command::Rename:
        if (HTREEITEM selected = TreeView_GetSelection(profileTree)) {
            ::SetFocus(profileTree);
            TreeView_EditLabel(profileTree, selected);
        }
        return;
    case Command::Refresh:
        setFolder(editor_.levelFolder());
        return;
    case Command::Messages:
        ::DialogBoxParamW(instance_, MAKEINTRESOURCEW(IDD_MESSAGES), window_, messagesProc,
                          reinterpret_cast<LPARAM>(&messages_));
        return;
    case Command::Problems:
        problemWindow_->fill(window::problemRows(editor_.tree(), editor_.problems()));
        problemWindow_->open();
        return;
    case Command::StartupFolder:
        editor_.setStartupFolder();
        return;
    case Command::UsersKey:
        showOutcome(editor_.changeUsersKey());
        return;
    case Command::Help:
        onHelp();
        return;
    case Command::Properties:
        editor_.properties();
        return;
    case Command::About:
        ui_.message(aboutText());
        return;
    case Command::Preview:
        preview_->openWindow();
        return;
    case Command::GameFolder:
        preview_->chooseGameFolder(ui_);
        showDocumentState();
        return;
    case Command::DosGraphicsFolder:
        preview_->chooseDosGraphicsFolder(ui_);
        return;
    case Command::WinePrefix:
        return;
    }
}

// The tree's context menu at the screen point (x, y), or under the selected row when it came
// from the keyboard (-1, -1); a right click first selects the row under it.
void MainWindow::showContextMenu(int x, int y) {
    HTREEITEM item = TreeView_GetSelection(profileTree);
    if (x == -1 && y == -1) {
        RECT row{};
        if (item && TreeView_GetItemRect(profileTree, item, &row, TRUE)) {
            POINT corner{row.left, row.bottom};
            ::ClientToScreen(profileTree, &corner);
            x = corner.x;
            y = corner.y;
        } else {
            POINT corner{0, 0};
            ::ClientToScreen(profileTree, &corner);
            x = corner.x;
            y = corner.y;
        }
    } else {
        TVHITTESTINFO hit{};
        hit.pt = {x, y};
        ::ScreenToClient(profileTree, &hit.pt);
        item = TreeView_HitTest(profileTree, &hit);
        if (item)
            TreeView_SelectItem(profileTree, item);
    }
    runContextMenu(window::contextCommands(TreeViewSync::node(profileTree, item)), x, y);
}

void MainWindow::showFileContextMenu(int x, int y) {
    HWND list = levelFiles_.handle();
    if (x == -1 && y == -1) {
        RECT row{};
        const int focused = ListView_GetNextItem(list, -1, LVNI_FOCUSED);
        if (focused < 0 || !ListView_GetItemRect(list, focused, &row, LVIR_LABEL))
            row = {};
        POINT corner{row.left, row.bottom};
        ::ClientToScreen(list, &corner);
        x = corner.x;
        y = corner.y;
    }
    runContextMenu(window::kFileListCommands, x, y);
}

void MainWindow::runContextMenu(std::span<const window::Command> commands, int x, int y) {
    HMENU popup = ::CreatePopupMenu();
    for (window::Command command : commands)
        ::AppendMenuW(popup, MF_STRING, commandId(command),
                      itemText(window::menuItem(command)).c_str());
    UINT chosen = static_cast<UINT>(
        ::TrackPopupMenu(popup, TPM_RETURNCMD | TPM_RIGHTBUTTON, x, y, 0, window_, nullptr));
    ::DestroyMenu(popup);
    if (chosen != 0)
        runCommand(static_cast<window::Command>(chosen - ID_MENU_COMMAND));
}

} // namespace quillfen::win32
