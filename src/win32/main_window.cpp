#include "win32/main_window.h"

#include "common/windows1252.h"
#include "editor/window_texts.h"
#include "host/file_io.h"
#include "host/windows_text.h"
#include "levelfile/level_file.h"
#include "profiles/profile_store.h"
#include "win32/resource.h"

#include <commdlg.h>
#include <functional>
#include <shellapi.h>
#include <shlobj.h>
#include <sstream>

namespace quillfen::win32 {
namespace {

constexpr wchar_t kWindowClass[] = L"QuillfenMainWindow";
constexpr UINT kRunScript = WM_APP + 1;

// The ids of the controls, in the order of the table below.
enum ControlId : int {
    IdProfileLabel = 2000,
    IdProfileBox,
    IdLoadProfileButton,
    IdFolderLabel,
    IdFolderPathEdit,
    IdBrowseFolderButton,
    IdFolderList,
    IdLevelFileList,
    IdLevelCountLabel,
    IdDeleteLevelButton,
    IdAddLevelsButton,
    IdProfileTree,
    IdAddGroupButton,
    IdDeleteGroupButton,
    IdMoveUpButton,
    IdMoveDownButton,
    IdAddSetButton,
    IdDeleteSetButton,
    IdGroupFolderEdit,
    IdUpdateFolderButton,
    IdNodeInfoButton,
    IdLevelFileEdit,
    IdUpdateFileButton,
    IdSaveProfileButton,
    IdLemmingsEdit,
    IdClimbersEdit,
    IdSaveLevelInfoButton = IdClimbersEdit + 8,
    IdProgressBar,
    IdCountNames,
    IdStatus = IdCountNames + 9
};

// Where each control stands, in twips (left, top, width, height), as in the game's editor; the
// path field and the named count boxes fill what it left empty.
struct Place {
    int id, left, top, width, height;
};
constexpr Place kPlaces[] = {
    {IdProfileLabel, 120, 120, 2655, 255},          {IdProfileBox, 2640, 120, 1695, 315},
    {IdLoadProfileButton, 4440, 120, 1095, 375},    {IdFolderLabel, 120, 600, 1455, 255},
    {IdFolderPathEdit, 1560, 570, 3255, 285},       {IdBrowseFolderButton, 4920, 570, 855, 300},
    {IdFolderList, 120, 900, 2655, 1830},           {IdLevelFileList, 3000, 900, 2775, 1785},
    {IdLevelCountLabel, 3120, 2760, 2655, 255},     {IdDeleteLevelButton, 120, 3120, 2775, 375},
    {IdAddLevelsButton, 3000, 3120, 2775, 375},     {IdProfileTree, 120, 3600, 5655, 2415},
    {IdAddGroupButton, 120, 6120, 975, 375},        {IdDeleteGroupButton, 1080, 6120, 1095, 375},
    {IdMoveUpButton, 2520, 6120, 255, 255},         {IdMoveDownButton, 3000, 6120, 255, 255},
    {IdAddSetButton, 3600, 6120, 1095, 375},        {IdDeleteSetButton, 4680, 6120, 1095, 375},
    {IdGroupFolderEdit, 120, 6600, 1335, 285},      {IdUpdateFolderButton, 1440, 6600, 735, 255},
    {IdNodeInfoButton, 2520, 6600, 735, 255},       {IdLevelFileEdit, 3600, 6600, 1335, 285},
    {IdUpdateFileButton, 4920, 6600, 735, 255},     {IdSaveProfileButton, 2040, 6960, 1695, 315},
    {IdSaveLevelInfoButton, 2160, 8040, 1335, 315}, {IdProgressBar, 0, 8400, 5895, 255},
};
constexpr int kInnerWidth = 5880, kInnerHeight = 8745;

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

HWND MainWindow::addControl(const wchar_t* className, const window::ControlText& text, DWORD style,
                            int id, DWORD exStyle) {
    HWND control = ::CreateWindowExW(
        exStyle, className, wide(text.caption).c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10,
        window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
    controls_[text.name] = control;
    if (text.tooltip) {
        std::wstring tip = wide(text.tooltip);
        TOOLINFOW info{};
        info.cbSize = sizeof(info);
        info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        info.hwnd = window_;
        info.uId = reinterpret_cast<UINT_PTR>(control);
        info.lpszText = tip.data();
        ::SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    }
    return control;
}

void MainWindow::createControls() {
    using namespace window;
    tooltip_ = ::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0,
                                 window_, nullptr, instance_, nullptr);
    ::SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, 400);
    const DWORD button = WS_TABSTOP | BS_PUSHBUTTON, edit = WS_TABSTOP | ES_AUTOHSCROLL;
    addControl(WC_STATICW, kProfileLabel, 0, IdProfileLabel);
    profileBox =
        addControl(WC_COMBOBOXW, kProfileBox, WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN, IdProfileBox);
    loadProfileButton = addControl(WC_BUTTONW, kLoadProfileButton, button, IdLoadProfileButton);
    addControl(WC_STATICW, kFolderLabel, 0, IdFolderLabel);
    folderPathEdit =
        addControl(WC_EDITW, kFolderPathEdit, edit, IdFolderPathEdit, WS_EX_CLIENTEDGE);
    addControl(WC_BUTTONW, kBrowseFolderButton, button, IdBrowseFolderButton);
    folderList = addControl(WC_LISTBOXW, kFolderList,
                            WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                            IdFolderList, WS_EX_CLIENTEDGE);
    levelFileList =
        addControl(WC_LISTBOXW, kLevelFileList,
                   WS_TABSTOP | WS_VSCROLL | LBS_EXTENDEDSEL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                   IdLevelFileList, WS_EX_CLIENTEDGE);
    levelCountLabel = addControl(WC_STATICW, kCountLabel, 0, IdLevelCountLabel);
    addControl(WC_BUTTONW, kDeleteLevelButton, button, IdDeleteLevelButton);
    addControl(WC_BUTTONW, kAddLevelsButton, button, IdAddLevelsButton);
    profileTree = addControl(WC_TREEVIEWW, kProfileTree,
                             WS_TABSTOP | TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT |
                                 TVS_SHOWSELALWAYS | TVS_EDITLABELS,
                             IdProfileTree, WS_EX_CLIENTEDGE);
    addControl(WC_BUTTONW, kAddGroupButton, button, IdAddGroupButton);
    addControl(WC_BUTTONW, kDeleteGroupButton, button, IdDeleteGroupButton);
    addControl(WC_BUTTONW, kMoveUpButton, button, IdMoveUpButton);
    addControl(WC_BUTTONW, kMoveDownButton, button, IdMoveDownButton);
    addControl(WC_BUTTONW, kAddSetButton, button, IdAddSetButton);
    addControl(WC_BUTTONW, kDeleteSetButton, button, IdDeleteSetButton);
    groupFolderEdit =
        addControl(WC_EDITW, kGroupFolderEdit, edit, IdGroupFolderEdit, WS_EX_CLIENTEDGE);
    addControl(WC_BUTTONW, kUpdateFolderButton, button, IdUpdateFolderButton);
    addControl(WC_BUTTONW, kNodeInfoButton, button, IdNodeInfoButton);
    levelFileEdit = addControl(WC_EDITW, kLevelFileEdit, edit, IdLevelFileEdit, WS_EX_CLIENTEDGE);
    addControl(WC_BUTTONW, kUpdateFileButton, button, IdUpdateFileButton);
    addControl(WC_BUTTONW, kSaveProfileButton, button, IdSaveProfileButton);
    for (int i = 0; i < 9; ++i)
        addControl(WC_STATICW, {kCountNames[i], kCountNames[i], nullptr}, SS_CENTER,
                   IdCountNames + i);
    lemmingsEdit = addControl(WC_EDITW, kNumlemm, edit, IdLemmingsEdit, WS_EX_CLIENTEDGE);
    for (std::size_t i = 0; i < actionEdits.size(); ++i)
        actionEdits[i] = addControl(WC_EDITW, kActionEdits[i], edit,
                                    IdClimbersEdit + static_cast<int>(i), WS_EX_CLIENTEDGE);
    addControl(WC_BUTTONW, kSaveLevelInfoButton, button, IdSaveLevelInfoButton);
    progressBar = addControl(PROGRESS_CLASSW, kProgressBar, 0, IdProgressBar);
    status_ = addControl(STATUSCLASSNAMEW, {"statusLabel", "", nullptr}, SBARS_SIZEGRIP, IdStatus);
}

void MainWindow::createMenus() {
    HMENU bar = ::CreateMenu();
    HMENU options = ::CreatePopupMenu();
    ::AppendMenuW(options, MF_STRING, ID_STARTUP_FOLDER, wide(window::kSetStartupFolder).c_str());
    ::AppendMenuW(options, MF_STRING, ID_REG_KEY, wide(window::kLemmingsRegKey).c_str());
    ::AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(options),
                  wide(window::kOptionsMenu).c_str());
    editMenu_ = ::CreatePopupMenu();
    ::AppendMenuW(editMenu_, MF_STRING, ID_UNDO, wide(window::kUndo).c_str());
    ::AppendMenuW(editMenu_, MF_STRING, ID_REDO, wide(window::kRedo).c_str());
    ::AppendMenuW(editMenu_, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(editMenu_, MF_STRING, ID_IMPORT_PACK, wide(window::kImportLevelPack).c_str());
    ::AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(editMenu_),
                  wide(window::kEditMenu).c_str());
    // "Help" stands on the menu bar itself and runs at once.
    ::AppendMenuW(bar, MF_STRING, ID_HELP, wide(window::kHelp).c_str());
    ::SetMenu(window_, bar);
}

void MainWindow::layOut() {
    const int dpi = static_cast<int>(::GetDpiForWindow(window_));
    auto px = [dpi](int twips) { return ::MulDiv(twips, dpi, 1440); };
    if (font_)
        ::DeleteObject(font_);
    font_ = ::CreateFontW(-::MulDiv(8, dpi, 72), 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0,
                          CLEARTYPE_QUALITY, 0, L"Verdana");
    for (const auto& [name, control] : controls_)
        ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    for (const Place& place : kPlaces)
        ::MoveWindow(::GetDlgItem(window_, place.id), px(place.left), px(place.top),
                     px(place.width), px(place.height), FALSE);
    // The nine counts in one row, each under its name.
    for (int i = 0; i < 9; ++i) {
        int left = 120 + i * 630;
        ::MoveWindow(::GetDlgItem(window_, IdCountNames + i), px(left - 30), px(7440), px(615),
                     px(240), FALSE);
        ::MoveWindow(::GetDlgItem(window_, IdLemmingsEdit + i), px(left), px(7680), px(555),
                     px(285), FALSE);
    }
    ::SendMessageW(status_, WM_SIZE, 0, 0);
    RECT statusRect{};
    ::GetWindowRect(status_, &statusRect);
    RECT inner{0, 0, px(kInnerWidth), px(kInnerHeight) + (statusRect.bottom - statusRect.top)};
    ::AdjustWindowRectExForDpi(&inner, static_cast<DWORD>(::GetWindowLongW(window_, GWL_STYLE)),
                               TRUE, 0, static_cast<UINT>(dpi));
    ::SetWindowPos(window_, nullptr, 0, 0, inner.right - inner.left, inner.bottom - inner.top,
                   SWP_NOMOVE | SWP_NOZORDER);
    ::SendMessageW(status_, WM_SIZE, 0, 0);
    ::InvalidateRect(window_, nullptr, TRUE);
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
        runNextScriptLine();
        return 0;
    }
    return ::DefWindowProcW(window_, message, wParam, lParam);
}

void MainWindow::command(int id, int code) {
    switch (id) {
    case IdLoadProfileButton:
        ::EnableWindow(loadProfileButton, FALSE);
        runEdit([&] { return editor_.loadProfile(textOf(profileBox), progressReport()); });
        chosenProfile_ = textOf(profileBox).text;
        ::EnableWindow(loadProfileButton, TRUE);
        return;
    case IdSaveProfileButton:
    case ID_SAVE:
        editor_.saveProfile(textOf(profileBox), progressReport());
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
    if (!ui_.agree(kDisclaimer, kDisclaimerTitle))
        return false;
    listLevelFiles(editor_.store().hostPath("c:\\"));
    StartUp startup = editor_.startUp();
    setFolder(startup.startFolder);
    ::SendMessageW(progressBar, PBM_SETRANGE32, 0, 1);
    ::SendMessageW(progressBar, PBM_SETPOS, 0, 0);
    fillProfiles(startup.profiles, /*selectFirst=*/true);
    return true;
}

void MainWindow::fillProfiles(const std::vector<std::string>& names, bool selectFirst) {
    ::SendMessageW(profileBox, CB_RESETCONTENT, 0, 0);
    for (const std::string& name : names)
        ::SendMessageW(profileBox, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(name).c_str()));
    if (selectFirst && !names.empty())
        ::SendMessageW(profileBox, CB_SETCURSEL, 0, 0);
    else
        ::SetWindowTextW(profileBox, L"");
    chosenProfile_ = textOf(profileBox).text;
}

void MainWindow::onProfileChosen() {
    int chosen = static_cast<int>(::SendMessageW(profileBox, CB_GETCURSEL, 0, 0));
    std::wstring name(
        static_cast<std::size_t>(::SendMessageW(profileBox, CB_GETLBTEXTLEN, chosen, 0)) + 1,
        L'\0');
    name.resize(static_cast<std::size_t>(
        ::SendMessageW(profileBox, CB_GETLBTEXT, chosen, reinterpret_cast<LPARAM>(name.data()))));
    if (editor_.chooseProfile(fromWide(name).text)) {
        chosenProfile_ = fromWide(name).text;
    } else {
        int previous = static_cast<int>(
            ::SendMessageW(profileBox, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                           reinterpret_cast<LPARAM>(wide(chosenProfile_).c_str())));
        ::SendMessageW(profileBox, CB_SETCURSEL, static_cast<WPARAM>(previous), 0);
    }
    showDocumentState();
}

TextAnswer MainWindow::textOf(HWND control) const {
    return fromWide(textOfWindow(control));
}

void MainWindow::listLevelFiles(const std::string& folder) {
    LevelFolder listed = editor_.openFolder(folder);
    ::SendMessageW(levelFileList, WM_SETREDRAW, FALSE, 0);
    ::SendMessageW(levelFileList, LB_RESETCONTENT, 0, 0);
    for (const std::string& name : listed.names)
        ::SendMessageW(levelFileList, LB_ADDSTRING, 0,
                       reinterpret_cast<LPARAM>(widened(name).c_str()));
    ::SendMessageW(levelFileList, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(levelFileList, nullptr, TRUE);
    ::SetWindowTextW(levelCountLabel, widened(listed.countText).c_str());
}

// The folder list shows the folder's subfolders, with ".." to go up; its level files go to the
// level-file list.
void MainWindow::setFolder(const std::string& folder) {
    ::SendMessageW(folderList, LB_RESETCONTENT, 0, 0);
    ::SendMessageW(folderList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L".."));
    for (const FolderEntry& entry : listFolder(folder))
        if (entry.kind == EntryKind::Folder)
            ::SendMessageW(folderList, LB_ADDSTRING, 0,
                           reinterpret_cast<LPARAM>(widened(entry.name).c_str()));
    ::SetWindowTextW(folderPathEdit, widened(folder).c_str());
    listLevelFiles(folder);
}

void MainWindow::onFolderDoubleClick() {
    int row = static_cast<int>(::SendMessageW(folderList, LB_GETCURSEL, 0, 0));
    if (row < 0)
        return;
    std::wstring name(
        static_cast<std::size_t>(::SendMessageW(folderList, LB_GETTEXTLEN, row, 0)) + 1, L'\0');
    name.resize(static_cast<std::size_t>(
        ::SendMessageW(folderList, LB_GETTEXT, row, reinterpret_cast<LPARAM>(name.data()))));
    std::string folder = editor_.levelFolder();
    setFolder(name == L".." ? folderOf(folder) : folder + "\\" + narrowed(name));
}

void MainWindow::onFolderPathEntered() {
    if (auto folder = editor_.openTypedFolder(textOf(folderPathEdit)))
        setFolder(*folder);
    else
        ::SetWindowTextW(folderPathEdit, widened(editor_.levelFolder()).c_str());
}

std::string MainWindow::chooseFolder(const char* title) {
    std::wstring caption = wide(title);
    BROWSEINFOW browse{};
    browse.hwndOwner = window_;
    browse.lpszTitle = caption.c_str();
    browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    PIDLIST_ABSOLUTE chosen = ::SHBrowseForFolderW(&browse);
    if (!chosen)
        return {};
    wchar_t path[MAX_PATH];
    std::string folder = ::SHGetPathFromIDListW(chosen, path) ? narrowed(path) : std::string();
    ::CoTaskMemFree(chosen);
    return folder;
}

void MainWindow::onBrowseFolder() {
    if (std::string folder = chooseFolder(window::kChooseFolder); !folder.empty())
        setFolder(folder);
}

void MainWindow::onImportPack() {
    wchar_t pack[MAX_PATH] = L"";
    OPENFILENAMEW open{};
    open.lStructSize = sizeof open;
    open.hwndOwner = window_;
    open.lpstrFilter = L"DOS level packs (*.DAT)\0*.DAT\0All files\0*.*\0";
    open.lpstrFile = pack;
    open.nMaxFile = MAX_PATH;
    open.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
    std::wstring title = wide(window::kImportPackTitle);
    open.lpstrTitle = title.c_str();
    if (!::GetOpenFileNameW(&open))
        return;
    std::string folder = chooseFolder(window::kImportFolder);
    if (folder.empty())
        return;
    runEdit([&] { return editor_.importLevelPack(narrowed(pack), folder); });
}

void MainWindow::onAddSelectedLevels() {
    FileListSelection files;
    files.current = static_cast<int>(::SendMessageW(levelFileList, LB_GETCARETINDEX, 0, 0));
    int count = static_cast<int>(::SendMessageW(levelFileList, LB_GETCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) {
        std::wstring name(
            static_cast<std::size_t>(::SendMessageW(levelFileList, LB_GETTEXTLEN, row, 0)) + 1,
            L'\0');
        name.resize(static_cast<std::size_t>(
            ::SendMessageW(levelFileList, LB_GETTEXT, row, reinterpret_cast<LPARAM>(name.data()))));
        files.names.push_back(fromWide(name));
        files.selected.push_back(::SendMessageW(levelFileList, LB_GETSEL, row, 0) > 0);
    }
    runEdit([&] { return editor_.addSelectedLevels(files); });
}

void MainWindow::onSaveLevelInfo() {
    std::array<std::string, levelfile::kCountsCount> counts;
    counts[0] = textOf(lemmingsEdit).text;
    for (std::size_t i = 0; i < actionEdits.size(); ++i)
        counts[i + 1] = textOf(actionEdits[i]).text;
    editor_.saveLevelInfo(textOf(levelFileEdit), counts);
}

template <class Action> void MainWindow::runEdit(Action action) {
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

void MainWindow::showPanel(const DetailPanel& panel) {
    auto show = [](HWND box, const std::string& now) {
        std::wstring text = wide(now);
        if (textOfWindow(box) != text)
            ::SetWindowTextW(box, text.c_str());
    };
    if (panel.groupFolder)
        show(groupFolderEdit, *panel.groupFolder);
    if (panel.levelFile)
        show(levelFileEdit, *panel.levelFile);
    if (panel.counts) {
        show(lemmingsEdit, (*panel.counts)[0]);
        for (std::size_t i = 0; i < actionEdits.size(); ++i)
            show(actionEdits[i], (*panel.counts)[i + 1]);
    }
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
    // The readme lies beside the program.
    wchar_t program[MAX_PATH];
    DWORD length = ::GetModuleFileNameW(nullptr, program, MAX_PATH);
    std::wstring readme(program, length);
    readme = readme.substr(0, readme.find_last_of(L"\\/") + 1) + L"readme.html";
    if (!ui_.scripted() && ::GetFileAttributesW(readme.c_str()) != INVALID_FILE_ATTRIBUTES &&
        reinterpret_cast<INT_PTR>(::ShellExecuteW(window_, L"open", readme.c_str(), nullptr,
                                                  nullptr, SW_SHOWNORMAL)) > 32)
        return;
    editor_.help();
}

void MainWindow::close() {
    if (editor_.mayClose())
        ::DestroyWindow(window_);
}

void MainWindow::runScript(std::vector<std::string> lines) {
    script_ = std::move(lines);
    scriptLine_ = 0;
    ::PostMessageW(window_, kRunScript, 0, 0);
}

// One line of the test mode's script: the window is driven through its own controls' messages.
//   answer WORD          the next question's answer (see Win32UserInterface)
//   click NAME           BM_CLICK on a button
//   select-files I...    LB_SETSEL of those rows of the level-file list alone
//   select-node KEY      TVM_SELECTITEM of the node's item
//   rename KEY TEXT      the in-place edit of the node's item, typed and ended
//   key NAME             a shortcut: save, undo, redo, delete, up, down, rename, refresh
//   text NAME TEXT       sets a text box's text
//   log-tree             writes the tree view's items (key and text), depth first
//   close                WM_CLOSE
void MainWindow::runNextScriptLine() {
    if (scriptLine_ >= script_.size() || !::IsWindow(window_))
        return;
    std::istringstream line(script_[scriptLine_++]);
    std::string verb, rest;
    line >> verb;
    std::getline(line >> std::ws, rest);
    ui_.logLine("> " + verb + (rest.empty() ? "" : " " + rest));
    if (verb == "answer") {
        ui_.queueAnswer(rest);
    } else if (verb == "click") {
        ::SendMessageW(controlNamed(rest), BM_CLICK, 0, 0);
    } else if (verb == "select-files") {
        ::SendMessageW(levelFileList, LB_SETSEL, FALSE, -1);
        std::istringstream rows(rest);
        for (int row; rows >> row;)
            ::SendMessageW(levelFileList, LB_SETSEL, TRUE, row);
    } else if (verb == "select-node") {
        ::SendMessageW(profileTree, TVM_SELECTITEM, TVGN_CARET,
                       reinterpret_cast<LPARAM>(sync_->item(editor_.tree().find(rest))));
    } else if (verb == "rename") {
        std::string key = rest.substr(0, rest.find(' '));
        std::string text = rest.substr(key.size() + 1);
        ::SetFocus(profileTree);
        HWND edit = TreeView_EditLabel(profileTree, sync_->item(editor_.tree().find(key)));
        ::SetWindowTextW(edit, widened(text).c_str());
        TreeView_EndEditLabelNow(profileTree, FALSE);
    } else if (verb == "key") {
        static const std::map<std::string, int> kKeys = {
            {"save", ID_SAVE}, {"undo", ID_UNDO}, {"redo", ID_REDO},     {"delete", ID_DELETE},
            {"up", ID_UP},     {"down", ID_DOWN}, {"rename", ID_RENAME}, {"refresh", ID_REFRESH}};
        ::SendMessageW(window_, WM_COMMAND, MAKEWPARAM(kKeys.at(rest), 1), 0);
    } else if (verb == "text") {
        std::string name = rest.substr(0, rest.find(' '));
        ::SetWindowTextW(controlNamed(name), widened(rest.substr(name.size() + 1)).c_str());
    } else if (verb == "log-tree") {
        std::function<void(HTREEITEM, int)> walk = [&](HTREEITEM item, int depth) {
            for (; item; item = TreeView_GetNextSibling(profileTree, item)) {
                const LevelTreeNode* node = TreeViewSync::node(profileTree, item);
                wchar_t text[256] = {};
                TVITEMW data{};
                data.mask = TVIF_TEXT;
                data.hItem = item;
                data.pszText = text;
                data.cchTextMax = 256;
                TreeView_GetItem(profileTree, &data);
                ui_.logLine(std::string(static_cast<std::size_t>(depth) * 2, ' ') + node->key() +
                            " " + narrowed(text));
                walk(TreeView_GetChild(profileTree, item), depth + 1);
            }
        };
        walk(TreeView_GetRoot(profileTree), 0);
    } else if (verb == "close") {
        ::SendMessageW(window_, WM_CLOSE, 0, 0);
    }
    if (::IsWindow(window_)) {
        ui_.logLine("caption: " + windows1252ToUtf8(editor_.documentState().caption));
        ::PostMessageW(window_, kRunScript, 0, 0);
    }
}

} // namespace quillfen::win32
