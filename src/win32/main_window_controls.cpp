// The controls and menus of MainWindow: what each is, and where it stands at the window's DPI.
#include "editor/window_menus.h"
#include "win32/control_layout.h"
#include "win32/main_window.h"
#include "win32/preview_view.h"
#include "win32/resource.h"

namespace quillfen::win32 {

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
    for (int i = 0; i < kCountBoxes; ++i)
        addControl(WC_STATICW, {kCountNames[i], kCountNames[i], nullptr}, SS_CENTER,
                   IdCountNames + i);
    lemmingsEdit = addControl(WC_EDITW, kNumlemm, edit, IdLemmingsEdit, WS_EX_CLIENTEDGE);
    for (std::size_t i = 0; i < actionEdits.size(); ++i)
        actionEdits[i] = addControl(WC_EDITW, kActionEdits[i], edit,
                                    IdClimbersEdit + static_cast<int>(i), WS_EX_CLIENTEDGE);
    addControl(WC_BUTTONW, kSaveLevelInfoButton, button, IdSaveLevelInfoButton);
    progressBar = addControl(PROGRESS_CLASSW, kProgressBar, 0, IdProgressBar);
    status_ = addControl(STATUSCLASSNAMEW, {"statusLabel", "", nullptr}, SBARS_SIZEGRIP, IdStatus);
    preview_ = std::make_unique<PreviewView>(instance_, window_, editor_);
    controls_["previewView"] = preview_->handle();
}

void MainWindow::createMenus() {
    HMENU bar = ::CreateMenu();
    HMENU options = ::CreatePopupMenu();
    ::AppendMenuW(options, MF_STRING, ID_STARTUP_FOLDER, wide(window::kSetStartupFolder).c_str());
    ::AppendMenuW(options, MF_STRING, ID_REG_KEY, wide(window::kLemmingsRegKey).c_str());
    ::AppendMenuW(options, MF_STRING, ID_GRAPHICS_FOLDER,
                  wide(window::kGraphicsFolder).c_str());
    ::AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(options),
                  wide(window::kOptionsMenu).c_str());
    editMenu_ = ::CreatePopupMenu();
    ::AppendMenuW(editMenu_, MF_STRING, ID_UNDO, wide(window::kUndo).c_str());
    ::AppendMenuW(editMenu_, MF_STRING, ID_REDO, wide(window::kRedo).c_str());
    ::AppendMenuW(editMenu_, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(editMenu_, MF_STRING, ID_IMPORT_PACK, wide(window::kImportLevelPack).c_str());
    ::AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(editMenu_),
                  wide(window::kEditMenu).c_str());
    HMENU view = ::CreatePopupMenu();
    ::AppendMenuW(view, MF_STRING, ID_PREVIEW, wide(window::kPreview).c_str());
    ::AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(view), wide(window::kViewMenu).c_str());
    // "Help" stands on the menu bar itself and runs at once.
    ::AppendMenuW(bar, MF_STRING, ID_HELP, wide(window::kHelp).c_str());
    ::SetMenu(window_, bar);
}

// Places every control at the window's DPI in the game's font, and sizes the window to hold
// them and the status bar; run again when the window moves to a screen of another DPI.
void MainWindow::layOut() {
    const int dpi = static_cast<int>(::GetDpiForWindow(window_));
    auto px = [dpi](int twips) { return ::MulDiv(twips, dpi, 1440); };
    if (font_)
        ::DeleteObject(font_);
    font_ = ::CreateFontW(-::MulDiv(8, dpi, 72), 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0,
                          CLEARTYPE_QUALITY, 0, L"Verdana");
    for (const auto& [name, control] : controls_)
        ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    auto place = [&](int id, int left, int top, int width, int height) {
        ::MoveWindow(::GetDlgItem(window_, id), px(left), px(top), px(width), px(height), FALSE);
    };
    for (const Place& at : kPlaces)
        place(at.id, at.left, at.top, at.width, at.height);
    const CountRow& row = kCountRow;
    for (int i = 0; i < kCountBoxes; ++i) {
        int left = row.left + i * row.step;
        place(IdCountNames + i, left - row.nameIndent, row.nameTop, row.nameWidth, row.nameHeight);
        place(IdLemmingsEdit + i, left, row.boxTop, row.boxWidth, row.boxHeight);
    }
    // The preview stands under the rest, as wide as the tree.
    ::MoveWindow(preview_->handle(), px(120), px(kInnerHeight), px(5655), px(kPreviewHeight),
                 FALSE);
    ::SendMessageW(status_, WM_SIZE, 0, 0);
    RECT statusRect{};
    ::GetWindowRect(status_, &statusRect);
    RECT inner{0, 0, px(kInnerWidth),
               px(kInnerHeight + kPreviewHeight) + (statusRect.bottom - statusRect.top)};
    ::AdjustWindowRectExForDpi(&inner, static_cast<DWORD>(::GetWindowLongW(window_, GWL_STYLE)),
                               TRUE, 0, static_cast<UINT>(dpi));
    ::SetWindowPos(window_, nullptr, 0, 0, inner.right - inner.left, inner.bottom - inner.top,
                   SWP_NOMOVE | SWP_NOZORDER);
    ::SendMessageW(status_, WM_SIZE, 0, 0);
    ::InvalidateRect(window_, nullptr, TRUE);
}

} // namespace quillfen::win32
