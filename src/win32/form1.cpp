#include "win32/form1.h"

#include "common/windows1252.h"
#include "editor/settings_file.h"
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

constexpr wchar_t kWindowClass[] = L"QuillfenForm1";
constexpr UINT kRunScript = WM_APP + 1;

// The ids of the controls, in the order of the table below.
enum ControlId : int {
    IdLabel1 = 2000,
    IdCombo1,
    IdCommand4,
    IdLabel2,
    IdDir2Path,
    IdDir2Browse,
    IdDir2,
    IdDir1,
    IdCountLabel,
    IdCommand6,
    IdCommand3,
    IdTreeView1,
    IdCommand2,
    IdCommandDelG,
    IdCommand12,
    IdCommand13,
    IdCommand1,
    IdCommand5,
    IdText1,
    IdCommand10,
    IdCommand8,
    IdText2,
    IdCommand11,
    IdCommand9,
    IdNumlemm,
    IdAction1,
    IdCommand7 = IdAction1 + 8,
    IdProgressBar1,
    IdCountNames,
    IdStatus = IdCountNames + 9
};

// Where each control stands, in twips (left, top, width, height), as in the game's editor; the
// path field and the named count boxes fill what it left empty.
struct Place {
    int id, left, top, width, height;
};
constexpr Place kPlaces[] = {
    {IdLabel1, 120, 120, 2655, 255},       {IdCombo1, 2640, 120, 1695, 315},
    {IdCommand4, 4440, 120, 1095, 375},    {IdLabel2, 120, 600, 1455, 255},
    {IdDir2Path, 1560, 570, 3255, 285},    {IdDir2Browse, 4920, 570, 855, 300},
    {IdDir2, 120, 900, 2655, 1830},        {IdDir1, 3000, 900, 2775, 1785},
    {IdCountLabel, 3120, 2760, 2655, 255}, {IdCommand6, 120, 3120, 2775, 375},
    {IdCommand3, 3000, 3120, 2775, 375},   {IdTreeView1, 120, 3600, 5655, 2415},
    {IdCommand2, 120, 6120, 975, 375},     {IdCommandDelG, 1080, 6120, 1095, 375},
    {IdCommand12, 2520, 6120, 255, 255},   {IdCommand13, 3000, 6120, 255, 255},
    {IdCommand1, 3600, 6120, 1095, 375},   {IdCommand5, 4680, 6120, 1095, 375},
    {IdText1, 120, 6600, 1335, 285},       {IdCommand10, 1440, 6600, 735, 255},
    {IdCommand8, 2520, 6600, 735, 255},    {IdText2, 3600, 6600, 1335, 285},
    {IdCommand11, 4920, 6600, 735, 255},   {IdCommand9, 2040, 6960, 1695, 315},
    {IdCommand7, 2160, 8040, 1335, 315},   {IdProgressBar1, 0, 8400, 5895, 255},
};
constexpr int kInnerWidth = 5880, kInnerHeight = 8745;

std::wstring textOfWindow(HWND control) {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        ::GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

} // namespace

Form1::Form1(ProfileStore& store, Win32UserInterface& ui) : ui_(ui), editor_(store, ui) {}

Form1::~Form1() {
    sync_.reset();
    if (font_)
        ::DeleteObject(font_);
}

bool Form1::create(HINSTANCE instance, int show) {
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
        ::CreateWindowExW(0, kWindowClass, wide(editor_.caption()).c_str(),
                          WS_OVERLAPPEDWINDOW & ~WS_MAXIMIZEBOX & ~WS_THICKFRAME, CW_USEDEFAULT,
                          CW_USEDEFAULT, 400, 600, nullptr, nullptr, instance, this);
    ui_.setOwner(window_);
    accelerators_ = ::LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDR_ACCELERATORS));
    treeAccelerators_ = ::LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDR_TREE_ACCELERATORS));
    createMenus();
    createControls();
    layOut();
    sync_ = std::make_unique<TreeViewSync>(TreeView1, editor_.tree());
    // Start-up runs before the window is first shown.
    if (!Form_Load()) {
        ::DestroyWindow(window_);
        return false;
    }
    showDocumentState();
    ::ShowWindow(window_, show);
    ::UpdateWindow(window_);
    return true;
}

HWND Form1::controlNamed(const std::string& name) const {
    auto found = controls_.find(name);
    return found == controls_.end() ? nullptr : found->second;
}

bool Form1::translateAccelerator(MSG& message) {
    if (::GetFocus() == TreeView1 && ::TranslateAcceleratorW(window_, treeAccelerators_, &message))
        return true;
    return ::TranslateAcceleratorW(window_, accelerators_, &message) != 0;
}

HWND Form1::addControl(const wchar_t* className, const window::ControlText& text, DWORD style,
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

void Form1::createControls() {
    using namespace window;
    tooltip_ = ::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0,
                                 window_, nullptr, instance_, nullptr);
    ::SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, 400);
    const DWORD button = WS_TABSTOP | BS_PUSHBUTTON, edit = WS_TABSTOP | ES_AUTOHSCROLL;
    addControl(WC_STATICW, kLabel1, 0, IdLabel1);
    Combo1 = addControl(WC_COMBOBOXW, kCombo1, WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN, IdCombo1);
    Command4 = addControl(WC_BUTTONW, kCommand4, button, IdCommand4);
    addControl(WC_STATICW, kLabel2, 0, IdLabel2);
    Dir2Path = addControl(WC_EDITW, kDir2Path, edit, IdDir2Path, WS_EX_CLIENTEDGE);
    addControl(WC_BUTTONW, kDir2Browse, button, IdDir2Browse);
    Dir2 =
        addControl(WC_LISTBOXW, kDir2, WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                   IdDir2, WS_EX_CLIENTEDGE);
    Dir1 = addControl(WC_LISTBOXW, kDir1,
                      WS_TABSTOP | WS_VSCROLL | LBS_EXTENDEDSEL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                      IdDir1, WS_EX_CLIENTEDGE);
    countLabel = addControl(WC_STATICW, kCountLabel, 0, IdCountLabel);
    addControl(WC_BUTTONW, kCommand6, button, IdCommand6);
    addControl(WC_BUTTONW, kCommand3, button, IdCommand3);
    TreeView1 = addControl(WC_TREEVIEWW, kTreeView1,
                           WS_TABSTOP | TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT |
                               TVS_SHOWSELALWAYS | TVS_EDITLABELS,
                           IdTreeView1, WS_EX_CLIENTEDGE);
    addControl(WC_BUTTONW, kCommand2, button, IdCommand2);
    addControl(WC_BUTTONW, kCommandDelG, button, IdCommandDelG);
    addControl(WC_BUTTONW, kCommand12, button, IdCommand12);
    addControl(WC_BUTTONW, kCommand13, button, IdCommand13);
    addControl(WC_BUTTONW, kCommand1, button, IdCommand1);
    addControl(WC_BUTTONW, kCommand5, button, IdCommand5);
    Text1 = addControl(WC_EDITW, kText1, edit, IdText1, WS_EX_CLIENTEDGE);
    addControl(WC_BUTTONW, kCommand10, button, IdCommand10);
    addControl(WC_BUTTONW, kCommand8, button, IdCommand8);
    Text2 = addControl(WC_EDITW, kText2, edit, IdText2, WS_EX_CLIENTEDGE);
    addControl(WC_BUTTONW, kCommand11, button, IdCommand11);
    addControl(WC_BUTTONW, kCommand9, button, IdCommand9);
    for (int i = 0; i < 9; ++i)
        addControl(WC_STATICW, {kCountNames[i], kCountNames[i], nullptr}, SS_CENTER,
                   IdCountNames + i);
    numlemm = addControl(WC_EDITW, kNumlemm, edit, IdNumlemm, WS_EX_CLIENTEDGE);
    for (std::size_t i = 0; i < action.size(); ++i)
        action[i] = addControl(WC_EDITW, kActions[i], edit, IdAction1 + static_cast<int>(i),
                               WS_EX_CLIENTEDGE);
    addControl(WC_BUTTONW, kCommand7, button, IdCommand7);
    ProgressBar1 = addControl(PROGRESS_CLASSW, kProgressBar1, 0, IdProgressBar1);
    status_ = addControl(STATUSCLASSNAMEW, {"statusLabel", "", nullptr}, SBARS_SIZEGRIP, IdStatus);
}

void Form1::createMenus() {
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

void Form1::layOut() {
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
        ::MoveWindow(::GetDlgItem(window_, IdNumlemm + i), px(left), px(7680), px(555), px(285),
                     FALSE);
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

LRESULT CALLBACK Form1::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(window, GWLP_USERDATA,
                            reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        static_cast<Form1*>(create->lpCreateParams)->window_ = window;
    }
    auto* form = reinterpret_cast<Form1*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (form)
        return form->handle(message, wParam, lParam);
    return ::DefWindowProcW(window, message, wParam, lParam);
}

LRESULT Form1::handle(UINT message, WPARAM wParam, LPARAM lParam) {
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

void Form1::command(int id, int code) {
    switch (id) {
    case IdCommand4:
        ::EnableWindow(Command4, FALSE);
        runEdit([&] { return editor_.loadProfile(textOf(Combo1), progressBar()); });
        chosenProfile_ = textOf(Combo1).text;
        ::EnableWindow(Command4, TRUE);
        return;
    case IdCommand9:
    case ID_SAVE:
        editor_.saveProfile(textOf(Combo1), progressBar());
        showDocumentState();
        return;
    case IdCommand8:
        editor_.info();
        return;
    case IdCommand7:
        Command7_Click();
        return;
    case IdCommand2:
        runEdit([this] { return editor_.addGroup(); });
        return;
    case IdCommand1:
        runEdit([this] { return editor_.addSet(); });
        return;
    case IdCommand3:
        Command3_Click();
        return;
    case IdCommandDelG:
        runEdit([this] { return editor_.deleteGroup(); });
        return;
    case IdCommand5:
        runEdit([this] { return editor_.deleteSet(); });
        return;
    case IdCommand6:
        runEdit([this] { return editor_.deleteLevel(); });
        return;
    case ID_DELETE:
        runEdit([this] { return editor_.deleteSelected(); });
        return;
    case IdCommand12:
    case ID_UP:
        runEdit([this] { return editor_.moveUp(); });
        return;
    case IdCommand13:
    case ID_DOWN:
        runEdit([this] { return editor_.moveDown(); });
        return;
    case IdCommand10:
        runEdit([this] { return editor_.updateFolder(textOf(Text1)); });
        return;
    case IdCommand11:
        runEdit([this] { return editor_.updateFileName(textOf(Text2)); });
        return;
    case ID_UNDO:
        runEdit([this] { return editor_.undo(); });
        return;
    case ID_REDO:
        runEdit([this] { return editor_.redo(); });
        return;
    case ID_RENAME:
        if (HTREEITEM selected = TreeView_GetSelection(TreeView1))
            TreeView_EditLabel(TreeView1, selected);
        return;
    case ID_REFRESH:
        listLevelFiles(editor_.levelFolder());
        return;
    case ID_STARTUP_FOLDER:
        editor_.setStartupFolder({editor_.levelFolder(), true});
        return;
    case ID_REG_KEY:
        showOutcome(editor_.changeUsersKey());
        return;
    case ID_HELP:
        he_Click();
        return;
    case ID_IMPORT_PACK:
        importPack_Click();
        return;
    case IdCombo1:
        if (code == CBN_SELCHANGE)
            Combo1_Click();
        return;
    case IdDir2:
        if (code == LBN_DBLCLK)
            Dir2_DblClick();
        return;
    case IdDir2Browse:
        Dir2Browse_Click();
        return;
    case IDOK:
        // Enter in the path field.
        if (::GetFocus() == Dir2Path)
            Dir2Path_Enter();
        return;
    }
}

LRESULT Form1::notify(NMHDR* header) {
    if (header->hwndFrom != TreeView1)
        return 0;
    if (header->code == TVN_SELCHANGEDW) {
        auto* change = reinterpret_cast<NMTREEVIEWW*>(header);
        if (!followingCore_)
            showPanel(
                editor_.clickNode(TreeViewSync::node(TreeView1, change->itemNew.hItem)).panel);
        return 0;
    }
    if (header->code == NM_CLICK) {
        // A click on the selected node reads the panel again, as the game's editor does.
        DWORD position = ::GetMessagePos();
        TVHITTESTINFO hit{};
        hit.pt.x = static_cast<short>(LOWORD(position));
        hit.pt.y = static_cast<short>(HIWORD(position));
        ::ScreenToClient(TreeView1, &hit.pt);
        HTREEITEM item = TreeView_HitTest(TreeView1, &hit);
        if (item && item == TreeView_GetSelection(TreeView1))
            showPanel(editor_.clickNode(TreeViewSync::node(TreeView1, item)).panel);
        return 0;
    }
    if (header->code == TVN_ENDLABELEDITW) {
        auto* edit = reinterpret_cast<NMTVDISPINFOW*>(header);
        if (!edit->item.pszText)
            return FALSE; // cancelled
        const LevelTreeNode* node = TreeViewSync::node(TreeView1, edit->item.hItem);
        editor_.rename(node, fromWide(edit->item.pszText));
        showDocumentState();
        // The tree shows the core's text, which the observer has set already.
        return FALSE;
    }
    return 0;
}

bool Form1::Form_Load() {
    if (!ui_.agree(kDisclaimer, kDisclaimerTitle))
        return false;
    listLevelFiles(editor_.store().hostPath("c:\\"));
    StartUp startup = editor_.startUp();
    setFolder(startup.startFolder);
    ::SendMessageW(ProgressBar1, PBM_SETRANGE32, 0, 1);
    ::SendMessageW(ProgressBar1, PBM_SETPOS, 0, 0);
    fillProfiles(startup.profiles, /*selectFirst=*/true);
    return true;
}

void Form1::fillProfiles(const std::vector<std::string>& names, bool selectFirst) {
    ::SendMessageW(Combo1, CB_RESETCONTENT, 0, 0);
    for (const std::string& name : names)
        ::SendMessageW(Combo1, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(name).c_str()));
    if (selectFirst && !names.empty())
        ::SendMessageW(Combo1, CB_SETCURSEL, 0, 0);
    else
        ::SetWindowTextW(Combo1, L"");
    chosenProfile_ = textOf(Combo1).text;
}

void Form1::Combo1_Click() {
    int chosen = static_cast<int>(::SendMessageW(Combo1, CB_GETCURSEL, 0, 0));
    std::wstring name(
        static_cast<std::size_t>(::SendMessageW(Combo1, CB_GETLBTEXTLEN, chosen, 0)) + 1, L'\0');
    name.resize(static_cast<std::size_t>(
        ::SendMessageW(Combo1, CB_GETLBTEXT, chosen, reinterpret_cast<LPARAM>(name.data()))));
    if (editor_.chooseProfile(fromWide(name).text)) {
        chosenProfile_ = fromWide(name).text;
    } else {
        int previous = static_cast<int>(
            ::SendMessageW(Combo1, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                           reinterpret_cast<LPARAM>(wide(chosenProfile_).c_str())));
        ::SendMessageW(Combo1, CB_SETCURSEL, static_cast<WPARAM>(previous), 0);
    }
    showDocumentState();
}

TextAnswer Form1::textOf(HWND control) const {
    return fromWide(textOfWindow(control));
}

void Form1::listLevelFiles(const std::string& folder) {
    LevelFolder listed = editor_.openFolder(folder);
    ::SendMessageW(Dir1, WM_SETREDRAW, FALSE, 0);
    ::SendMessageW(Dir1, LB_RESETCONTENT, 0, 0);
    for (const std::string& name : listed.names)
        ::SendMessageW(Dir1, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widened(name).c_str()));
    ::SendMessageW(Dir1, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(Dir1, nullptr, TRUE);
    ::SetWindowTextW(countLabel, widened(listed.countText).c_str());
}

// The folder list shows the folder's subfolders, with ".." to go up; its level files go to the
// level-file list.
void Form1::setFolder(const std::string& folder) {
    ::SendMessageW(Dir2, LB_RESETCONTENT, 0, 0);
    ::SendMessageW(Dir2, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L".."));
    for (const FolderEntry& entry : listFolder(folder))
        if (entry.kind == EntryKind::Folder)
            ::SendMessageW(Dir2, LB_ADDSTRING, 0,
                           reinterpret_cast<LPARAM>(widened(entry.name).c_str()));
    ::SetWindowTextW(Dir2Path, widened(folder).c_str());
    listLevelFiles(folder);
}

void Form1::Dir2_DblClick() {
    int row = static_cast<int>(::SendMessageW(Dir2, LB_GETCURSEL, 0, 0));
    if (row < 0)
        return;
    std::wstring name(static_cast<std::size_t>(::SendMessageW(Dir2, LB_GETTEXTLEN, row, 0)) + 1,
                      L'\0');
    name.resize(static_cast<std::size_t>(
        ::SendMessageW(Dir2, LB_GETTEXT, row, reinterpret_cast<LPARAM>(name.data()))));
    std::string folder = editor_.levelFolder();
    setFolder(name == L".." ? folderOf(folder) : folder + "\\" + narrowed(name));
}

void Form1::Dir2Path_Enter() {
    TextAnswer typed = textOf(Dir2Path);
    std::string folder = settings::hostFolder(typed.text, editor_.store());
    if (!isFolder(folder)) {
        ui_.message("WARNING: " + typed.text + " is not a folder");
        ::SetWindowTextW(Dir2Path, widened(editor_.levelFolder()).c_str());
        return;
    }
    setFolder(folder);
}

std::string Form1::chooseFolder(const char* title) {
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

void Form1::Dir2Browse_Click() {
    if (std::string folder = chooseFolder(window::kChooseFolder); !folder.empty())
        setFolder(folder);
}

void Form1::importPack_Click() {
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

LevelFileList Form1::levelFileList() const {
    LevelFileList files;
    files.folder = editor_.levelFolder();
    files.current = static_cast<int>(::SendMessageW(Dir1, LB_GETCARETINDEX, 0, 0));
    int count = static_cast<int>(::SendMessageW(Dir1, LB_GETCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) {
        std::wstring name(static_cast<std::size_t>(::SendMessageW(Dir1, LB_GETTEXTLEN, row, 0)) + 1,
                          L'\0');
        name.resize(static_cast<std::size_t>(
            ::SendMessageW(Dir1, LB_GETTEXT, row, reinterpret_cast<LPARAM>(name.data()))));
        TextAnswer text = fromWide(name);
        bool selected = ::SendMessageW(Dir1, LB_GETSEL, row, 0) > 0;
        files.names.push_back(text.text);
        files.selected.push_back(selected);
        if (selected && !text.storable)
            files.storable = false;
    }
    return files;
}

void Form1::Command3_Click() {
    LevelFileList files = levelFileList();
    runEdit([&] { return editor_.addSelectedLevels(files); });
}

void Form1::Command7_Click() {
    std::array<std::string, levelfile::kCountsCount> counts;
    counts[0] = textOf(numlemm).text;
    for (std::size_t i = 0; i < action.size(); ++i)
        counts[i + 1] = textOf(action[i]).text;
    editor_.saveLevelInfo(textOf(Text2), counts);
}

template <class Action> void Form1::runEdit(Action action) {
    followingCore_ = true;
    Outcome outcome = action();
    if (HTREEITEM added = sync_->takeLastInserted())
        TreeView_EnsureVisible(TreeView1, added);
    showCoreSelection();
    followingCore_ = false;
    showOutcome(outcome);
}

void Form1::showOutcome(const Outcome& outcome) {
    showPanel(outcome.panel);
    if (outcome.profiles)
        fillProfiles(*outcome.profiles, /*selectFirst=*/false);
    showDocumentState();
}

void Form1::showPanel(const DetailPanel& panel) {
    auto show = [](HWND box, const std::string& now) {
        std::wstring text = wide(now);
        if (textOfWindow(box) != text)
            ::SetWindowTextW(box, text.c_str());
    };
    if (panel.text1)
        show(Text1, *panel.text1);
    if (panel.text2)
        show(Text2, *panel.text2);
    if (panel.counts) {
        show(numlemm, (*panel.counts)[0]);
        for (std::size_t i = 0; i < action.size(); ++i)
            show(action[i], (*panel.counts)[i + 1]);
    }
}

void Form1::showDocumentState() {
    ::SetWindowTextW(window_, wide(editor_.caption()).c_str());
    std::string undo = editor_.undoText(), redo = editor_.redoText();
    ::ModifyMenuW(editMenu_, ID_UNDO, MF_BYCOMMAND | MF_STRING | (undo.empty() ? MF_GRAYED : 0),
                  ID_UNDO, wide(undo.empty() ? window::kUndo : undo).c_str());
    ::ModifyMenuW(editMenu_, ID_REDO, MF_BYCOMMAND | MF_STRING | (redo.empty() ? MF_GRAYED : 0),
                  ID_REDO, wide(redo.empty() ? window::kRedo : redo).c_str());
    ::SendMessageW(status_, SB_SETTEXTW, 0,
                   reinterpret_cast<LPARAM>(wide(editor_.statusText()).c_str()));
}

void Form1::showCoreSelection() {
    HTREEITEM selected = sync_->item(editor_.tree().selected());
    TreeView_SelectItem(TreeView1, selected);
}

Progress Form1::progressBar() {
    return [this](double value, double maximum) {
        ::SendMessageW(ProgressBar1, PBM_SETRANGE32, 0, static_cast<LPARAM>(maximum));
        ::SendMessageW(ProgressBar1, PBM_SETPOS, static_cast<WPARAM>(value), 0);
    };
}

void Form1::he_Click() {
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

void Form1::close() {
    if (editor_.mayClose())
        ::DestroyWindow(window_);
}

void Form1::runScript(std::vector<std::string> lines) {
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
void Form1::runNextScriptLine() {
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
        ::SendMessageW(Dir1, LB_SETSEL, FALSE, -1);
        std::istringstream rows(rest);
        for (int row; rows >> row;)
            ::SendMessageW(Dir1, LB_SETSEL, TRUE, row);
    } else if (verb == "select-node") {
        ::SendMessageW(TreeView1, TVM_SELECTITEM, TVGN_CARET,
                       reinterpret_cast<LPARAM>(sync_->item(editor_.tree().find(rest))));
    } else if (verb == "rename") {
        std::string key = rest.substr(0, rest.find(' '));
        std::string text = rest.substr(key.size() + 1);
        ::SetFocus(TreeView1);
        HWND edit = TreeView_EditLabel(TreeView1, sync_->item(editor_.tree().find(key)));
        ::SetWindowTextW(edit, widened(text).c_str());
        TreeView_EndEditLabelNow(TreeView1, FALSE);
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
            for (; item; item = TreeView_GetNextSibling(TreeView1, item)) {
                const LevelTreeNode* node = TreeViewSync::node(TreeView1, item);
                wchar_t text[256] = {};
                TVITEMW data{};
                data.mask = TVIF_TEXT;
                data.hItem = item;
                data.pszText = text;
                data.cchTextMax = 256;
                TreeView_GetItem(TreeView1, &data);
                ui_.logLine(std::string(static_cast<std::size_t>(depth) * 2, ' ') + node->key() +
                            " " + narrowed(text));
                walk(TreeView_GetChild(TreeView1, item), depth + 1);
            }
        };
        walk(TreeView_GetRoot(TreeView1), 0);
    } else if (verb == "close") {
        ::SendMessageW(window_, WM_CLOSE, 0, 0);
    }
    if (::IsWindow(window_)) {
        ui_.logLine("caption: " + windows1252ToUtf8(editor_.caption()));
        ::PostMessageW(window_, kRunScript, 0, 0);
    }
}

} // namespace quillfen::win32
