#include "win32/main_window.h"

#include "editor/window_texts.h"
#include "host/windows_text.h"
#include "profiles/profile_store.h"
#include "win32/help_window.h"
#include "win32/owned_window_proc.h"
#include "win32/preview_view.h"
#include "win32/problem_window.h"
#include "win32/resource.h"

#include <objbase.h>
#include <shellapi.h>
#include <windowsx.h>

namespace quillfen::win32 {
namespace {

constexpr wchar_t kWindowClass[] = L"QuillfenMainWindow";
// The status bar's message of success goes after this long.
constexpr UINT_PTR kStatusTimer = 1;
constexpr UINT kStatusMilliseconds = 6000;
// Work beside the window's thread is done: a check of the profile or a count of a folder's level
// files (preview_view.cpp has WM_APP + 2).
constexpr UINT kWorkDone = WM_APP + 3;

} // namespace

MainWindow::MainWindow(ProfileStore& store, Win32UserInterface& ui) : ui_(ui), editor_(store, ui) {
    ui_.onInform([this](const std::string& text, bool inStatusBar) { inform(text, inStatusBar); });
}

MainWindow::~MainWindow() {
    sync_.reset();
    for (HANDLE change : folderChanges_)
        if (change != INVALID_HANDLE_VALUE)
            ::FindCloseChangeNotification(change);
    if (font_)
        ::DeleteObject(font_);
    if (accelerators_)
        ::DestroyAcceleratorTable(accelerators_);
    if (treeAccelerators_)
        ::DestroyAcceleratorTable(treeAccelerators_);
}

bool MainWindow::create(HINSTANCE instance, int show) {
    instance_ = instance;
    registerOwnedClass<MainWindow, &MainWindow::window_, &MainWindow::handle>(
        instance, kWindowClass, COLOR_BTNFACE, 0,
        ::LoadIconW(instance, MAKEINTRESOURCEW(IDI_QUILLFEN)));
    window_ = ::CreateWindowExW(WS_EX_ACCEPTFILES, kWindowClass,
                                widened(editor_.documentState().caption).c_str(),
                                WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT,
                                640, 480, nullptr, nullptr, instance, this);
    ui_.setOwner(window_);
    editor_.workBeside([window = window_] { ::PostMessageW(window, kWorkDone, 0, 0); });
    createMenus();
    createAccelerators();
    createControls();
    applyFont();
    placeFirstTime();
    sync_ = std::make_unique<TreeViewSync>(profileTree, editor_.tree());
    // Start-up runs before the window is first shown.
    if (!start()) {
        ::DestroyWindow(window_);
        return false;
    }
    showDocumentState();
    ::ShowWindow(window_, maximized_ && (show == SW_SHOWNORMAL || show == SW_SHOWDEFAULT)
                              ? SW_SHOWMAXIMIZED
                              : show);
    ::UpdateWindow(window_);
    return true;
}

HWND MainWindow::controlNamed(const std::string& name) const {
    auto found = controls_.find(name);
    return found == controls_.end() ? nullptr : found->second;
}

bool MainWindow::translateAccelerator(MSG& message) {
    HWND focus = ::GetFocus();
    if (message.message == WM_KEYDOWN && (::GetKeyState(VK_CONTROL) & 0x8000)) {
        // A text box keeps its own Ctrl+Z, Ctrl+Y and the clipboard's keys.
        wchar_t kind[16] = L"";
        ::GetClassNameW(focus, kind, 16);
        if (::lstrcmpiW(kind, WC_EDITW) == 0 && message.wParam != 'S' && message.wParam != 'Q')
            return false;
    }
    if (focus == profileTree && ::TranslateAcceleratorW(window_, treeAccelerators_, &message))
        return true;
    // Alt+Up elsewhere says where it acts; a combo box keeps it for its list.
    auto isCombo = [](HWND control) {
        wchar_t kind[16] = L"";
        ::GetClassNameW(control, kind, 16);
        return ::lstrcmpiW(kind, WC_COMBOBOXW) == 0;
    };
    if (message.message == WM_SYSKEYDOWN && message.wParam == VK_UP && focus != profileTree &&
        !isCombo(focus) && !isCombo(::GetParent(focus))) {
        editor_.moveKeyElsewhere();
        return true;
    }
    return ::TranslateAcceleratorW(window_, accelerators_, &message) != 0;
}

LRESULT MainWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        command(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case kWorkDone:
        if (editor_.takeCheck())
            showDocumentState();
        if (std::optional<std::string> count = editor_.takeLevelCount())
            ::SetWindowTextW(levelCountLabel, widened(*count).c_str());
        return 0;
    case WM_NOTIFY:
        return notify(reinterpret_cast<NMHDR*>(lParam));
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED && profileTree)
            layOut();
        return 0;
    case WM_GETMINMAXINFO: {
        if (!profileTree)
            break;
        SIZE least = minimumClientSize();
        RECT frame{0, 0, least.cx, least.cy};
        ::AdjustWindowRectExForDpi(&frame, static_cast<DWORD>(::GetWindowLongW(window_, GWL_STYLE)),
                                   TRUE, 0, ::GetDpiForWindow(window_));
        auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
        limits->ptMinTrackSize = {frame.right - frame.left, frame.bottom - frame.top};
        return 0;
    }
    case WM_DPICHANGED: {
        applyFont();
        const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
        ::SetWindowPos(window_, nullptr, suggested->left, suggested->top,
                       suggested->right - suggested->left, suggested->bottom - suggested->top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
        layOut();
        return 0;
    }
    case WM_CONTEXTMENU:
        if (reinterpret_cast<HWND>(wParam) == profileTree) {
            showContextMenu(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return 0;
        }
        // A right click, Shift+F10 or the menu key on the level-file list.
        if (reinterpret_cast<HWND>(wParam) == levelFiles_.handle()) {
            showFileContextMenu(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return 0;
        }
        break;
    case WM_DROPFILES:
        onDropFiles(reinterpret_cast<HDROP>(wParam));
        return 0;
    case WM_TIMER:
        if (wParam == kStatusTimer) {
            ::KillTimer(window_, kStatusTimer);
            ::SendMessageW(status_, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(L""));
        }
        return 0;
    case WM_SETCURSOR: {
        POINT at{};
        ::GetCursorPos(&at);
        ::ScreenToClient(window_, &at);
        RECT splitter = splitterRect();
        if (reinterpret_cast<HWND>(wParam) == window_ && ::PtInRect(&splitter, at)) {
            ::SetCursor(::LoadCursorW(nullptr, IDC_SIZEWE));
            return TRUE;
        }
        break;
    }
    case WM_LBUTTONDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
        if (mouse(message, lParam))
            return 0;
        break;
    case WM_CLOSE:
        close();
        return 0;
    case WM_DESTROY:
        keepLayout();
        sync_.reset();
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(window_, message, wParam, lParam);
}

void MainWindow::command(int id, int code) {
    if (id >= ID_MENU_COMMAND && id <= ID_MENU_COMMAND + static_cast<int>(window::Command::About)) {
        runCommand(static_cast<window::Command>(id - ID_MENU_COMMAND));
        return;
    }
    switch (id) {
    case IdLoadProfileButton:
        runCommand(window::Command::LoadProfile);
        return;
    case IdSaveProfileButton:
        runCommand(window::Command::SaveProfile);
        return;
    case IdSaveLevelInfoButton:
        onSaveLevelInfo();
        return;
    case IdAddGroupButton:
        runCommand(window::Command::AddGroup);
        return;
    case IdAddSetButton:
        runCommand(window::Command::AddSet);
        return;
    case IdAddLevelsButton:
        onAddSelectedLevels();
        return;
    case IdDeleteGroupButton:
        runEdit([this] { return editor_.deleteGroup(); });
        return;
    case IdDeleteSetButton:
        runEdit([this] { return editor_.deleteSet(); });
        return;
    case IdDeleteLevelButton:
        runEdit([this] { return editor_.deleteLevel(); });
        return;
    case IdMoveUpButton:
        runCommand(window::Command::MoveUp);
        return;
    case IdMoveDownButton:
        runCommand(window::Command::MoveDown);
        return;
    case IdUpdateFolderButton:
        runEdit([this] { return editor_.updateFolder(textOf(groupFolderEdit)); });
        return;
    case IdUpdateFileButton:
        runEdit([this] { return editor_.updateFileName(textOf(levelFileEdit)); });
        return;
    case IdProfileBox:
        if (code == CBN_SELCHANGE)
            onProfileChosen();
        return;
    case IdFolderList:
        // Posted by a click on a folder (see notify).
        onFolderOpened();
        return;
    case IdBrowseFolderButton:
        onBrowseFolder();
        return;
    case IDOK:
        // Enter in the path field, on a folder of the folder list, or on the level-file list
        // (the dialog manager takes the list's Enter before LVN_KEYDOWN would see it).
        if (::GetFocus() == folderPathEdit)
            onFolderPathEntered();
        else if (::GetFocus() == folderList)
            onFolderOpened();
        else if (::GetFocus() == levelFiles_.handle())
            onAddSelectedLevels();
        return;
    }
}

bool MainWindow::start() {
    std::optional<StartUp> startup = editor_.startUp();
    if (!startup)
        return false;
    setFolder(startup->startFolder);
    ::SendMessageW(progressBar, PBM_SETRANGE32, 0, 1);
    ::SendMessageW(progressBar, PBM_SETPOS, 0, 0);
    fillProfiles(startup->profiles, /*selectFirst=*/true);
    showProfileName(startup->profile);
    return true;
}

TextAnswer MainWindow::textOf(HWND control) const {
    return fromWide(textOfWindow(control));
}

void MainWindow::onImportPack() {
    std::string pack = ui_.chooseLevelPack(editor_.levelFolder());
    if (!pack.empty())
        importPack(pack);
}

void MainWindow::importPack(const std::string& pack) {
    // With the game's folder known, the levels go into their group's folder of it.
    std::string folder = editor_.gameFolder()
                             ? std::string()
                             : ui_.chooseFolder(window::kImportFolder, editor_.chooserFolder());
    if (folder.empty() && !editor_.gameFolder())
        return;
    runEdit([&] { return editor_.importLevelPack(pack, folder); });
}

std::array<std::string, kCountBoxes> MainWindow::countBoxes() const {
    std::array<std::string, kCountBoxes> counts;
    counts[0] = textOf(lemmingsEdit).text;
    for (std::size_t i = 0; i < actionEdits.size(); ++i)
        counts[i + 1] = textOf(actionEdits[i]).text;
    return counts;
}

void MainWindow::onSaveLevelInfo() {
    editor_.saveLevelInfo(textOf(levelFileEdit), countBoxes());
}

HTREEITEM MainWindow::runEdit(const std::function<Outcome()>& action) {
    followingCore_ = true;
    Outcome outcome = action();
    HTREEITEM added = sync_->takeLastInserted();
    if (added)
        TreeView_EnsureVisible(profileTree, added);
    showCoreSelection();
    followingCore_ = false;
    showOutcome(outcome);
    return added;
}

void MainWindow::addAndName(const std::function<Outcome()>& add) {
    HTREEITEM added = runEdit(add);
    if (!added)
        return;
    // Selected as a click selects it: the panel follows.
    TreeView_SelectItem(profileTree, added);
    ::SetFocus(profileTree);
    TreeView_EditLabel(profileTree, added);
}

void MainWindow::showOutcome(const Outcome& outcome) {
    if (outcome.levelFolder)
        setFolder(*outcome.levelFolder);
    showPanel(outcome.panel);
    if (outcome.profiles)
        fillProfiles(*outcome.profiles, /*selectFirst=*/false);
    showDocumentState();
    if (!outcome.notice.empty())
        ui_.message(outcome.notice);
}

void MainWindow::showPanel(const std::optional<DetailPanel>& panel) {
    if (!panel)
        return;
    auto show = [](HWND box, const std::string& now) {
        std::wstring text = wide(now);
        if (textOfWindow(box) != text)
            ::SetWindowTextW(box, text.c_str());
    };
    show(groupFolderEdit, panel->groupFolder);
    show(levelFileEdit, panel->levelFile);
    show(lemmingsEdit, panel->counts[0]);
    for (std::size_t i = 0; i < actionEdits.size(); ++i)
        show(actionEdits[i], panel->counts[i + 1]);
    // A level's file that cannot be read says so here; its counts are then not to be typed.
    HWND path = ::GetDlgItem(window_, IdLevelPathLabel);
    ::SetWindowTextW(path, widened(panelHeading(*panel)).c_str());
    ::ShowWindow(path, panel->levelPath.empty() ? SW_HIDE : SW_SHOWNA);
    const BOOL counts = panel->missing.empty();
    ::EnableWindow(lemmingsEdit, counts);
    for (HWND box : actionEdits)
        ::EnableWindow(box, counts);
    ::EnableWindow(::GetDlgItem(window_, IdSaveLevelInfoButton), counts);
    preview_->showLevel(panel->countsFile);
}

void MainWindow::showDocumentState() {
    DocumentState shown = editor_.documentState();
    showProblemMarks();
    if (problemWindow_->isOpen())
        problemWindow_->fill(window::problemRows(editor_.tree(), editor_.problems()));
    ::SetWindowTextW(window_, widened(shown.caption).c_str());
    auto undoItem = [&](window::Command command, const std::string& text, bool enabled) {
        std::wstring item = widened(window::withMnemonic(text.c_str(), menuItem(command).mnemonic));
        std::string keys = shortcutText(menuItem(command).shortcut);
        if (!keys.empty())
            item += L"\t" + wide(keys);
        UINT id = ID_MENU_COMMAND + static_cast<UINT>(command);
        ::ModifyMenuW(editMenu_, id, MF_BYCOMMAND | MF_STRING | (enabled ? 0 : MF_GRAYED), id,
                      item.c_str());
    };
    undoItem(window::Command::Undo, shown.undoText, shown.canUndo);
    undoItem(window::Command::Redo, shown.redoText, shown.canRedo);
    statusText_ = widened(shown.status);
    placeStatusParts();
    ::SendMessageW(status_, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(statusText_.c_str()));
}

void MainWindow::inform(const std::string& text, bool inStatusBar) {
    messages_.push_back(oneLine(text));
    if (!inStatusBar)
        return;
    ::SendMessageW(status_, SB_SETTEXTW, 0,
                   reinterpret_cast<LPARAM>(widened(oneLine(text)).c_str()));
    ::SetTimer(window_, kStatusTimer, kStatusMilliseconds, nullptr);
}

void MainWindow::showCoreSelection() {
    HTREEITEM selected = sync_->item(editor_.tree().selected());
    TreeView_SelectItem(profileTree, selected);
}

void MainWindow::selectProblemNode(const std::string& key) {
    const LevelTree::Node* node = key.empty() ? nullptr : editor_.tree().find(key);
    if (node == nullptr)
        return;
    followingCore_ = true;
    const Outcome clicked = editor_.clickNode(node);
    showCoreSelection();
    followingCore_ = false;
    showPanel(clicked.panel);
}

Progress MainWindow::progressReport() {
    return [this](double value, double maximum) {
        ::SendMessageW(progressBar, PBM_SETRANGE32, 0, static_cast<LPARAM>(maximum));
        ::SendMessageW(progressBar, PBM_SETPOS, static_cast<WPARAM>(value), 0);
    };
}

// Under Wine a browser hand-off "succeeds" with no browser there: the readme is shown in the
// program's own window.
bool underWine() {
    HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

void MainWindow::onHelp() {
    if ((underWine() || !ui_.openReadme()) && !showHelpWindow(instance_, window_, font_))
        editor_.help();
}

void MainWindow::close() {
    if (editor_.mayClose())
        ::DestroyWindow(window_);
}

void prepareProcess() {
    ::SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES;
    ::InitCommonControlsEx(&controls);
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
}

int runMessageLoop(MainWindow& window) {
    for (;;) {
        std::array<HANDLE, 2> changes{};
        DWORD followed = 0;
        for (HANDLE change : window.folderChanges())
            if (change != INVALID_HANDLE_VALUE)
                changes[followed++] = change;
        DWORD woken = ::MsgWaitForMultipleObjectsEx(followed, changes.data(), INFINITE, QS_ALLINPUT,
                                                    MWMO_INPUTAVAILABLE);
        if (woken - WAIT_OBJECT_0 < followed) {
            window.onFolderChanged(changes[woken - WAIT_OBJECT_0]);
            continue;
        }
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT)
                return static_cast<int>(message.wParam);
            if (window.translateAccelerator(message))
                continue;
            if (!::IsDialogMessageW(window.handle(), &message)) {
                ::TranslateMessage(&message);
                ::DispatchMessageW(&message);
            }
        }
    }
}

} // namespace quillfen::win32
