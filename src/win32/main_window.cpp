#include "win32/main_window.h"

#include "editor/window_texts.h"
#include "host/windows_text.h"
#include "profiles/profile_store.h"
#include "win32/control_layout.h"
#include "win32/preview_view.h"
#include "win32/resource.h"
#include "win32/script_runner.h"

namespace quillfen::win32 {
namespace {

constexpr wchar_t kWindowClass[] = L"QuillfenMainWindow";

std::wstring textOfWindow(HWND control) {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        ::GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

} // namespace

MainWindow::MainWindow(ProfileStore& store, Win32UserInterface& ui) : ui_(ui), editor_(store, ui) {}

MainWindow::~MainWindow() {
    sync_.reset();
    if (font_)
        ::DeleteObject(font_);
}

bool MainWindow::create(HINSTANCE instance, int show) {
    instance_ = instance;
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kWindowClass;
    windowClass.hIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(IDI_QUILLFEN));
    ::RegisterClassExW(&windowClass);
    window_ =
        ::CreateWindowExW(0, kWindowClass, wide(editor_.documentState().caption).c_str(),
                          WS_OVERLAPPEDWINDOW & ~WS_MAXIMIZEBOX & ~WS_THICKFRAME, CW_USEDEFAULT,
                          CW_USEDEFAULT, 400, 600, nullptr, nullptr, instance, this);
    ui_.setOwner(window_);
    accelerators_ = ::LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDR_ACCELERATORS));
    treeAccelerators_ = ::LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDR_TREE_ACCELERATORS));
    createMenus();
    createControls();
    layOut();
    sync_ = std::make_unique<TreeViewSync>(profileTree, editor_.tree());
    // Start-up runs before the window is first shown.
    if (!start()) {
        ::DestroyWindow(window_);
        return false;
    }
    showDocumentState();
    ::ShowWindow(window_, show);
    ::UpdateWindow(window_);
    return true;
}

HWND MainWindow::controlNamed(const std::string& name) const {
    auto found = controls_.find(name);
    return found == controls_.end() ? nullptr : found->second;
}

bool MainWindow::translateAccelerator(MSG& message) {
    if (::GetFocus() == profileTree &&
        ::TranslateAcceleratorW(window_, treeAccelerators_, &message))
        return true;
    return ::TranslateAcceleratorW(window_, accelerators_, &message) != 0;
}

LRESULT CALLBACK MainWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(window, GWLP_USERDATA,
                            reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        static_cast<MainWindow*>(create->lpCreateParams)->window_ = window;
    }
    auto* form = reinterpret_cast<MainWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (form)
        return form->handle(message, wParam, lParam);
    return ::DefWindowProcW(window, message, wParam, lParam);
}

LRESULT MainWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        command(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_NOTIFY:
        return notify(reinterpret_cast<NMHDR*>(lParam));
    case WM_DPICHANGED: {
        const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
        ::SetWindowPos(window_, nullptr, suggested->left, suggested->top,
                       suggested->right - suggested->left, suggested->bottom - suggested->top,
                       SWP_NOZORDER);
        layOut();
        return 0;
    }
    case WM_CLOSE:
        close();
        return 0;
    case WM_DESTROY:
        sync_.reset();
        ::PostQuitMessage(0);
        return 0;
    case kRunScript:
        if (script_)
            script_->runNextLine();
        return 0;
    }
    return ::DefWindowProcW(window_, message, wParam, lParam);
}

void MainWindow::command(int id, int code) {
    switch (id) {
    case IdLoadProfileButton:
        ::EnableWindow(loadProfileButton, FALSE);
        runEdit([&] {
            return editor_.loadProfile(narrowed(textOfWindow(profileBox)), progressReport());
        });
        ::EnableWindow(loadProfileButton, TRUE);
        return;
    case IdSaveProfileButton:
    case ID_SAVE:
        editor_.saveProfile(narrowed(textOfWindow(profileBox)), progressReport());
        showDocumentState();
        return;
    case IdNodeInfoButton:
        editor_.info();
        return;
    case IdSaveLevelInfoButton:
        onSaveLevelInfo();
        return;
    case IdAddGroupButton:
        runEdit([this] { return editor_.addGroup(); });
        return;
    case IdAddSetButton:
        runEdit([this] { return editor_.addSet(); });
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
    case ID_DELETE:
        runEdit([this] { return editor_.deleteSelected(); });
        return;
    case IdMoveUpButton:
    case ID_UP:
        runEdit([this] { return editor_.moveUp(); });
        return;
    case IdMoveDownButton:
    case ID_DOWN:
        runEdit([this] { return editor_.moveDown(); });
        return;
    case IdUpdateFolderButton:
        runEdit([this] { return editor_.updateFolder(textOf(groupFolderEdit)); });
        return;
    case IdUpdateFileButton:
        runEdit([this] { return editor_.updateFileName(textOf(levelFileEdit)); });
        return;
    case ID_UNDO:
        runEdit([this] { return editor_.undo(); });
        return;
    case ID_REDO:
        runEdit([this] { return editor_.redo(); });
        return;
    case ID_RENAME:
        if (HTREEITEM selected = TreeView_GetSelection(profileTree))
            TreeView_EditLabel(profileTree, selected);
        return;
    case ID_REFRESH:
        listLevelFiles(editor_.levelFolder());
        return;
    case ID_STARTUP_FOLDER:
        editor_.setStartupFolder();
        return;
    case ID_REG_KEY:
        showOutcome(editor_.changeUsersKey());
        return;
    case ID_HELP:
        onHelp();
        return;
    case ID_IMPORT_PACK:
        onImportPack();
        return;
    case ID_GRAPHICS_FOLDER:
        preview_->chooseGraphicsFolder(ui_);
        return;
    case ID_PREVIEW:
        preview_->openWindow();
        return;
    case IdLevelFileList:
        if (code == LBN_SELCHANGE)
            onLevelFileChosen();
        return;
    case IdProfileBox:
        if (code == CBN_SELCHANGE)
            onProfileChosen();
        return;
    case IdFolderList:
        if (code == LBN_DBLCLK)
            onFolderDoubleClick();
        return;
    case IdBrowseFolderButton:
        onBrowseFolder();
        return;
    case IDOK:
        // Enter in the path field.
        if (::GetFocus() == folderPathEdit)
            onFolderPathEntered();
        return;
    }
}

LRESULT MainWindow::notify(NMHDR* header) {
    if (header->hwndFrom != profileTree)
        return 0;
    if (header->code == TVN_SELCHANGEDW) {
        auto* change = reinterpret_cast<NMTREEVIEWW*>(header);
        if (!followingCore_)
            showPanel(
                editor_.clickNode(TreeViewSync::node(profileTree, change->itemNew.hItem)).panel);
        return 0;
    }
    if (header->code == NM_CLICK) {
        // A click on the selected node reads the panel again, as the game's editor does.
        DWORD position = ::GetMessagePos();
        TVHITTESTINFO hit{};
        hit.pt.x = static_cast<short>(LOWORD(position));
        hit.pt.y = static_cast<short>(HIWORD(position));
        ::ScreenToClient(profileTree, &hit.pt);
        HTREEITEM item = TreeView_HitTest(profileTree, &hit);
        if (item && item == TreeView_GetSelection(profileTree))
            showPanel(editor_.clickNode(TreeViewSync::node(profileTree, item)).panel);
        return 0;
    }
    if (header->code == TVN_ENDLABELEDITW) {
        auto* edit = reinterpret_cast<NMTVDISPINFOW*>(header);
        if (!edit->item.pszText)
            return FALSE; // cancelled
        const LevelTreeNode* node = TreeViewSync::node(profileTree, edit->item.hItem);
        editor_.rename(node, fromWide(edit->item.pszText));
        showDocumentState();
        // The tree shows the core's text, which the observer has set already.
        return FALSE;
    }
    return 0;
}

bool MainWindow::start() {
    std::optional<StartUp> startup = editor_.startUp();
    if (!startup)
        return false;
    setFolder(startup->startFolder);
    ::SendMessageW(progressBar, PBM_SETRANGE32, 0, 1);
    ::SendMessageW(progressBar, PBM_SETPOS, 0, 0);
    fillProfiles(startup->profiles, /*selectFirst=*/true);
    return true;
}

TextAnswer MainWindow::textOf(HWND control) const {
    return fromWide(textOfWindow(control));
}

void MainWindow::onImportPack() {
    std::string pack = ui_.chooseLevelPack();
    if (pack.empty())
        return;
    std::string folder = ui_.chooseFolder(window::kImportFolder);
    if (folder.empty())
        return;
    runEdit([&] { return editor_.importLevelPack(pack, folder); });
}

void MainWindow::onSaveLevelInfo() {
    std::array<std::string, kCountBoxes> counts;
    counts[0] = textOf(lemmingsEdit).text;
    for (std::size_t i = 0; i < actionEdits.size(); ++i)
        counts[i + 1] = textOf(actionEdits[i]).text;
    editor_.saveLevelInfo(textOf(levelFileEdit), counts);
}

void MainWindow::runEdit(const std::function<Outcome()>& action) {
    followingCore_ = true;
    Outcome outcome = action();
    if (HTREEITEM added = sync_->takeLastInserted())
        TreeView_EnsureVisible(profileTree, added);
    showCoreSelection();
    followingCore_ = false;
    showOutcome(outcome);
}

void MainWindow::showOutcome(const Outcome& outcome) {
    showPanel(outcome.panel);
    if (outcome.profiles)
        fillProfiles(*outcome.profiles, /*selectFirst=*/false);
    showDocumentState();
}

void MainWindow::showPanel(const std::optional<DetailPanel>& panel) {
    if (!panel)
        return;
    preview_->showLevel(panel->countsFile);
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
}

void MainWindow::showDocumentState() {
    DocumentState shown = editor_.documentState();
    ::SetWindowTextW(window_, wide(shown.caption).c_str());
    ::ModifyMenuW(editMenu_, ID_UNDO, MF_BYCOMMAND | MF_STRING | (shown.canUndo ? 0 : MF_GRAYED),
                  ID_UNDO, wide(shown.undoText).c_str());
    ::ModifyMenuW(editMenu_, ID_REDO, MF_BYCOMMAND | MF_STRING | (shown.canRedo ? 0 : MF_GRAYED),
                  ID_REDO, wide(shown.redoText).c_str());
    ::SendMessageW(status_, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(wide(shown.status).c_str()));
}

void MainWindow::showCoreSelection() {
    HTREEITEM selected = sync_->item(editor_.tree().selected());
    TreeView_SelectItem(profileTree, selected);
}

Progress MainWindow::progressReport() {
    return [this](double value, double maximum) {
        ::SendMessageW(progressBar, PBM_SETRANGE32, 0, static_cast<LPARAM>(maximum));
        ::SendMessageW(progressBar, PBM_SETPOS, static_cast<WPARAM>(value), 0);
    };
}

void MainWindow::onHelp() {
    if (!ui_.openReadme())
        editor_.help();
}

void MainWindow::close() {
    if (editor_.mayClose())
        ::DestroyWindow(window_);
}

void MainWindow::runScript(std::vector<std::string> lines) {
    script_ = std::make_unique<ScriptRunner>(*this, ui_, std::move(lines));
    ::PostMessageW(window_, kRunScript, 0, 0);
}

} // namespace quillfen::win32
