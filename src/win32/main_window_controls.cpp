// The controls of MainWindow: what each is, and where it stands. Every place is computed from
// the desktop's message font at the window's DPI; the lists and the tree take the room when the
// window grows, and a splitter shares the width between the level-file browser and the tree. The
// detail panel runs across the whole width under both, the level's picture its widest part.
#include "editor/window_menus.h"
#include "editor/window_texts.h"
#include "host/file_io.h"
#include "host/host_path.h"
#include "host/windows_text.h"
#include "levelfile/level_file.h"
#include "preview/level_layout.h"
#include "win32/control_layout.h"
#include "win32/main_window.h"
#include "win32/preview_view.h"
#include "win32/problem_window.h"

#include <algorithm>
#include <numeric>
#include <shellapi.h>

namespace quillfen::win32 {
namespace {

// The rows of buttons under the tree, left to right (0: none); a lone button stands right.
constexpr int kTreeButtonRows = 3;
constexpr int kTreeButtons[kTreeButtonRows][4] = {
    {IdAddGroupButton, IdDeleteGroupButton, IdAddSetButton, IdDeleteSetButton},
    {IdDeleteLevelButton, IdMoveUpButton, IdMoveDownButton, 0},
    {IdSaveProfileButton, 0, 0, 0},
};

// The width of a count box: three digits and a little room, or the widest name above it.
constexpr char kWidestCount[] = "2550";
// The count label's text at its widest.
constexpr char kWidestCountLabel[] = "00000 levels found";

// The window's place, size (at 96 DPI) and splitter from the last close, kept in window.ini
// beside the core's settings, as the Linux window keeps its own; 0 for what is not kept.
constexpr wchar_t kLayoutSection[] = L"window";

std::wstring layoutFile() {
    return widened(pathIn(settingsFolder(), "window.ini"));
}

int keptValue(const wchar_t* key) {
    return static_cast<int>(::GetPrivateProfileIntW(kLayoutSection, key, 0, layoutFile().c_str()));
}

} // namespace

std::wstring textOfWindow(HWND control) {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        ::GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
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
    const DWORD label = SS_LEFT | SS_CENTERIMAGE;
    // In the order of the tab key: the browser, the tree and its buttons, the detail panel.
    addControl(WC_STATICW, kFolderLabel, label, IdFolderLabel);
    folderPathEdit =
        addControl(WC_EDITW, kFolderPathEdit, edit, IdFolderPathEdit, WS_EX_CLIENTEDGE);
    addControl(WC_BUTTONW, kBrowseFolderButton, button, IdBrowseFolderButton);
    // The folders as a file dialog shows them, each with the shell's closed or open folder. It
    // never scrolls sideways: showing a long name would push the way down from C:\ out of view.
    folderList =
        addControl(WC_TREEVIEWW, kFolderList, WS_TABSTOP | TVS_SHOWSELALWAYS | TVS_NOHSCROLL,
                   IdFolderList, WS_EX_CLIENTEDGE);
    const int side = ::GetSystemMetrics(SM_CXSMICON);
    HIMAGELIST folderIcons = ImageList_Create(side, side, ILC_COLOR32 | ILC_MASK, 2, 0);
    for (UINT open : {0u, static_cast<UINT>(SHGFI_OPENICON)}) {
        SHFILEINFOW info{};
        if (::SHGetFileInfoW(L"folder", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof(info),
                             SHGFI_ICON | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES | open)) {
            ImageList_AddIcon(folderIcons, info.hIcon);
            ::DestroyIcon(info.hIcon);
        }
    }
    TreeView_SetImageList(folderList, folderIcons, TVSIL_NORMAL);
    controls_[kLevelFileList.name] =
        levelFiles_.create(window_, IdLevelFileList, instance_,
                           [this](const std::string& name) { return editor_.notALevel(name); });
    levelCountLabel = addControl(WC_STATICW, kCountLabel, label, IdLevelCountLabel);
    addControl(WC_BUTTONW, kAddLevelsButton, button, IdAddLevelsButton);

    addControl(WC_STATICW, kProfileLabel, label, IdProfileLabel);
    profileBox =
        addControl(WC_COMBOBOXW, kProfileBox, WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN, IdProfileBox);
    loadProfileButton = addControl(WC_BUTTONW, kLoadProfileButton, button, IdLoadProfileButton);
    profileTree = addControl(WC_TREEVIEWW, kProfileTree,
                             WS_TABSTOP | TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT |
                                 TVS_SHOWSELALWAYS | TVS_EDITLABELS | TVS_INFOTIP,
                             IdProfileTree, WS_EX_CLIENTEDGE);
    addControl(WC_BUTTONW, kAddGroupButton, button, IdAddGroupButton);
    addControl(WC_BUTTONW, kDeleteGroupButton, button, IdDeleteGroupButton);
    addControl(WC_BUTTONW, kAddSetButton, button, IdAddSetButton);
    addControl(WC_BUTTONW, kDeleteSetButton, button, IdDeleteSetButton);
    addControl(WC_BUTTONW, kDeleteLevelButton, button, IdDeleteLevelButton);
    // The menu's words say more than the game's "^" and "v".
    addControl(WC_BUTTONW, {kMoveUpButton.name, kMoveUp, kMoveUpButton.tooltip}, button,
               IdMoveUpButton);
    addControl(WC_BUTTONW, {kMoveDownButton.name, kMoveDown, kMoveDownButton.tooltip}, button,
               IdMoveDownButton);
    addControl(WC_BUTTONW, kSaveProfileButton, button, IdSaveProfileButton);

    addControl(WC_STATICW, kGroupFolderLabel, label, IdGroupFolderLabel);
    groupFolderEdit =
        addControl(WC_EDITW, kGroupFolderEdit, edit, IdGroupFolderEdit, WS_EX_CLIENTEDGE);
    addControl(WC_BUTTONW, kUpdateFolderButton, button, IdUpdateFolderButton);
    addControl(WC_STATICW, kLevelFileLabel, label, IdLevelFileLabel);
    levelFileEdit = addControl(WC_EDITW, kLevelFileEdit, edit, IdLevelFileEdit, WS_EX_CLIENTEDGE);
    addControl(WC_BUTTONW, kUpdateFileButton, button, IdUpdateFileButton);
    addControl(WC_STATICW, kLevelPathLabel, SS_LEFTNOWORDWRAP | SS_PATHELLIPSIS, IdLevelPathLabel);
    for (int i = 0; i < kCountBoxes; ++i)
        addControl(WC_STATICW, {kCountNames[i], kCountNames[i], nullptr}, SS_CENTER,
                   IdCountNames + i);
    // The count boxes take digits only, as many as a count has.
    lemmingsEdit =
        addControl(WC_EDITW, kLemmingsEdit, edit | ES_NUMBER, IdLemmingsEdit, WS_EX_CLIENTEDGE);
    for (std::size_t i = 0; i < actionEdits.size(); ++i)
        actionEdits[i] = addControl(WC_EDITW, kActionEdits[i], edit | ES_NUMBER,
                                    IdClimbersEdit + static_cast<int>(i), WS_EX_CLIENTEDGE);
    for (HWND box : actionEdits)
        ::SendMessageW(box, EM_SETLIMITTEXT, levelfile::kCountDigits, 0);
    ::SendMessageW(lemmingsEdit, EM_SETLIMITTEXT, levelfile::kCountDigits, 0);
    addControl(WC_BUTTONW, kSaveLevelInfoButton, button, IdSaveLevelInfoButton);
    // The selected level's picture and its facts fill the preview area.
    preview_ = std::make_unique<PreviewView>(instance_, window_, editor_);
    ::SetWindowLongPtrW(preview_->handle(), GWLP_ID, IdPreviewArea);
    controls_[kPreviewArea.name] = preview_->handle();
    problemWindow_ = std::make_unique<ProblemWindow>(
        instance_, window_, [this](const std::string& key) { selectProblemNode(key); });
    controls_[kProblemList.name] = problemWindow_->list();
    progressBar = addControl(PROGRESS_CLASSW, kProgressBar, 0, IdProgressBar);
    status_ = addControl(STATUSCLASSNAMEW, {"statusLabel", "", nullptr}, SBARS_SIZEGRIP, IdStatus);
}

// The desktop's message font at the window's DPI, and the measures taken from it.
void MainWindow::applyFont() {
    const UINT dpi = ::GetDpiForWindow(window_);
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (!::SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, dpi))
        return;
    HFONT old = font_;
    font_ = ::CreateFontIndirectW(&metrics.lfMessageFont);
    measures_ = FontMeasures::of(textMetricsOf(window_, font_));
    for (const auto& [name, control] : controls_)
        if (control != status_)
            ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    if (old)
        ::DeleteObject(old);
}

int MainWindow::textWidth(const char* text) const {
    return textWidth(wide(text));
}

int MainWindow::textWidth(const std::wstring& shown) const {
    HDC dc = ::GetDC(window_);
    HGDIOBJ before = ::SelectObject(dc, font_);
    SIZE size{};
    ::GetTextExtentPoint32W(dc, shown.c_str(), static_cast<int>(shown.size()), &size);
    ::SelectObject(dc, before);
    ::ReleaseDC(window_, dc);
    return size.cx;
}

// The splitter: the strip between the browser's column and the tree's.
RECT MainWindow::splitterRect() const {
    HWND browser = controlNamed(window::kLevelFileList.name), tree = profileTree;
    if (!browser || !tree)
        return {};
    RECT left{}, right{};
    ::GetWindowRect(browser, &left);
    ::GetWindowRect(tree, &right);
    ::MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&left), 2);
    ::MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&right), 2);
    return {left.right, right.top, right.left, right.bottom};
}

int MainWindow::buttonWidth(int id) const {
    // The caption and a margin each side, as wide as Windows' own buttons leave.
    return textWidth(narrowed(textOfWindow(::GetDlgItem(window_, id))).c_str()) +
           2 * (measures_.charWidth + measures_.gap);
}

int MainWindow::labelWidth(int id) const {
    return textWidth(narrowed(textOfWindow(::GetDlgItem(window_, id))).c_str()) + measures_.gap;
}

// Count box `i`: three digits and a little room, or its name above it.
int MainWindow::countColumnWidth(int i) const {
    return std::max(textWidth(kWidestCount) + 2 * measures_.charWidth,
                    textWidth(window::kCountNames[static_cast<std::size_t>(i)]) + measures_.gap);
}

int MainWindow::countGridWidth() const {
    int width = buttonWidth(IdSaveLevelInfoButton);
    for (int i = 0; i < kCountBoxes; ++i)
        width += countColumnWidth(i) + measures_.gap;
    return width;
}

// The least widths of the browser's column and the tree's: their rows of controls whole.
std::pair<int, int> MainWindow::leastColumns() const {
    const FontMeasures& m = measures_;
    const int shortText = 10 * m.charWidth;
    int left = std::max(labelWidth(IdFolderLabel) + shortText + buttonWidth(IdBrowseFolderButton),
                        textWidth(kWidestCountLabel) + buttonWidth(IdAddLevelsButton)) +
               2 * m.gap;
    int right =
        labelWidth(IdProfileLabel) + shortText + buttonWidth(IdLoadProfileButton) + 2 * m.gap;
    for (const auto& row : kTreeButtons)
        right = std::max(
            right, std::accumulate(std::begin(row), std::end(row), 3 * m.gap, [&](int sum, int id) {
                return sum + (id ? buttonWidth(id) : 0);
            }));
    return {left, right};
}

SIZE MainWindow::minimumClientSize() const {
    const FontMeasures& m = measures_;
    const auto [left, right] = leastColumns();
    const int grid = countGridWidth();
    RECT statusRect{};
    ::GetWindowRect(status_, &statusRect);
    // The lists and the tree keep a few lines each.
    const int lists = 4 * m.lineHeight;
    const int upper = m.rowHeight + lists + kTreeButtonRows * (m.rowHeight + m.gap) + m.gap;
    const int panel = 2 * m.rowHeight + m.lineHeight + 3 * m.gap + m.lineHeight / 2 + 2 +
                      kPreviewTextLines * m.lineHeight + m.gap;
    return {std::max(left + m.splitterWidth + right, grid) + 2 * m.margin,
            m.margin + upper + m.margin + panel + m.margin / 2 +
                (statusRect.bottom - statusRect.top)};
}

// The status bar's parts: the document's (the profile, its file, the game's folder) as wide as its
// text and the sizing grip, as far as it leaves a quarter of the bar to the messages' part, which
// takes the rest: halves cut the document's text at 192 dpi.
void MainWindow::placeStatusParts() {
    RECT bar{};
    ::GetClientRect(status_, &bar);
    const int width = static_cast<int>(bar.right);
    const int document = std::min(
        textWidth(statusText_) + 2 * measures_.charWidth + measures_.rowHeight, width * 3 / 4);
    int parts[2] = {width - document, -1};
    ::SendMessageW(status_, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
}

// Places every control for the client area's size.
void MainWindow::layOut() {
    const FontMeasures& m = measures_;
    ::SendMessageW(status_, WM_SIZE, 0, 0);
    RECT client{}, statusRect{};
    ::GetClientRect(window_, &client);
    ::GetWindowRect(status_, &statusRect);
    const int width = client.right, height = client.bottom - (statusRect.bottom - statusRect.top);
    placeStatusParts();

    HDWP moves = ::BeginDeferWindowPos(48);
    auto place = [&](int id, int x, int y, int w, int h) {
        moves = ::DeferWindowPos(moves, ::GetDlgItem(window_, id), nullptr, x, y, std::max(w, 0),
                                 std::max(h, 0), SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
    };
    auto button = [this](int id) { return buttonWidth(id); };
    auto label = [this](int id) { return labelWidth(id); };
    const int row = m.rowHeight, gap = m.gap;

    // The detail panel, from the bottom up: the progress bar, the picture with its facts across
    // the whole width, the counts, the two fields. The picture shrinks only when the lists and
    // the tree above would otherwise lose their least height.
    const int progressHeight = m.lineHeight / 2 + 2;
    const int progressY = height - m.margin / 2 - progressHeight;
    place(IdProgressBar, m.margin, progressY, width - 2 * m.margin, progressHeight);
    const int previewWidth = width - 2 * m.margin;
    const int previewRoom = std::max<int>(0, client.bottom - minimumClientSize().cy);
    const int previewHeight =
        kPreviewTextLines * m.lineHeight +
        std::min(previewRoom, previewWidth * preview::kLevelHeight / preview::kLevelWidth);
    const int previewY = progressY - gap - previewHeight;
    place(IdPreviewArea, m.margin, previewY, previewWidth, previewHeight);
    const int boxesY = previewY - gap - row;
    const int namesY = boxesY - m.lineHeight - 1;
    const int fieldsY = namesY - gap - row;
    const int pathY = fieldsY - gap - m.lineHeight;
    int saveX = m.margin;
    for (int i = 0; i < kCountBoxes; ++i) {
        const int column = countColumnWidth(i);
        place(IdCountNames + i, saveX, namesY, column, m.lineHeight);
        place(IdLemmingsEdit + i, saveX, boxesY, column, row);
        saveX += column + gap;
    }
    const int saveWidth = button(IdSaveLevelInfoButton);
    place(IdSaveLevelInfoButton, saveX, boxesY, saveWidth, row);
    // The heading (the level and its file's path) and the two fields take the whole width.
    const int gridRight = width - m.margin;
    place(IdLevelPathLabel, m.margin, pathY, gridRight - m.margin, m.lineHeight);
    {
        const int folderLabel = label(IdGroupFolderLabel), fileLabel = label(IdLevelFileLabel);
        const int update = button(IdUpdateFolderButton);
        const int boxes =
            gridRight - m.margin - folderLabel - fileLabel - 2 * update - 5 * gap - 2 * gap;
        int x = m.margin;
        place(IdGroupFolderLabel, x, fieldsY, folderLabel, row);
        x += folderLabel + gap;
        place(IdGroupFolderEdit, x, fieldsY, boxes / 2, row);
        x += boxes / 2 + gap;
        place(IdUpdateFolderButton, x, fieldsY, update, row);
        x += update + 3 * gap;
        place(IdLevelFileLabel, x, fieldsY, fileLabel, row);
        x += fileLabel + gap;
        place(IdLevelFileEdit, x, fieldsY, gridRight - update - gap - x, row);
        place(IdUpdateFileButton, gridRight - update, fieldsY, update, row);
    }

    // The browser and the tree side by side above the panel, the splitter between them.
    const int top = m.margin, bottom = pathY - m.margin;
    const int shared = width - 2 * m.margin - m.splitterWidth;
    const auto [leftLeast, rightLeast] = leastColumns();
    const int leftWidth =
        std::max(leftLeast, std::min(static_cast<int>(shared * splitAt_), shared - rightLeast));
    const int leftX = m.margin, rightX = m.margin + leftWidth + m.splitterWidth;
    const int rightWidth = width - m.margin - rightX;

    // The browser: the path and Browse, the folder list beside the level files, their count.
    {
        const int folderLabel = label(IdFolderLabel), browse = button(IdBrowseFolderButton);
        place(IdFolderLabel, leftX, top, folderLabel, row);
        place(IdFolderPathEdit, leftX + folderLabel + gap, top,
              leftWidth - folderLabel - browse - 2 * gap, row);
        place(IdBrowseFolderButton, leftX + leftWidth - browse, top, browse, row);
        const int countY = bottom - row, listsY = top + row + gap;
        const int folders = (leftWidth - gap) * 2 / 5;
        place(IdFolderList, leftX, listsY, folders, countY - gap - listsY);
        place(IdLevelFileList, leftX + folders + gap, listsY, leftWidth - folders - gap,
              countY - gap - listsY);
        const int add = button(IdAddLevelsButton);
        place(IdLevelCountLabel, leftX, countY, leftWidth - add - gap, row);
        place(IdAddLevelsButton, leftX + leftWidth - add, countY, add, row);
    }
    // The tree: the profile and Load Profile above it, its buttons in two rows under it, each
    // row sharing the column's width by the buttons' captions.
    {
        const int profileLabel = label(IdProfileLabel), load = button(IdLoadProfileButton);
        place(IdProfileLabel, rightX, top, profileLabel, row);
        place(IdProfileBox, rightX + profileLabel + gap, top,
              rightWidth - profileLabel - load - 2 * gap, row + 8 * m.lineHeight);
        place(IdLoadProfileButton, rightX + rightWidth - load, top, load, row);
        const int buttonsY = bottom - kTreeButtonRows * (row + gap) + gap;
        const int treeY = top + row + gap;
        place(IdProfileTree, rightX, treeY, rightWidth, buttonsY - gap - treeY);
        for (int r = 0; r < kTreeButtonRows; ++r) {
            const int* ids = kTreeButtons[r];
            const int count =
                static_cast<int>(std::count_if(ids, ids + 4, [](int id) { return id; }));
            int natural = (count - 1) * gap;
            for (int i = 0; i < count; ++i)
                natural += button(ids[i]);
            const int extra = count > 1 ? std::max(0, rightWidth - natural) / count : 0;
            int x = count > 1 ? rightX : rightX + rightWidth - natural;
            for (int i = 0; i < count; ++i) {
                const int w = button(ids[i]) + extra;
                place(ids[i], x, buttonsY + r * (row + gap), w, row);
                x += w + gap;
            }
        }
    }
    ::EndDeferWindowPos(moves);
    levelFiles_.fitColumn();
    // Bits a move copied may hold a neighbour's old place: every control paints itself anew.
    ::RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// The first size: the one kept at the last close, else roomy where the screen allows; never
// beyond the screen's work area.
void MainWindow::placeFirstTime() {
    const FontMeasures& m = measures_;
    const SIZE least = minimumClientSize();
    const UINT dpi = ::GetDpiForWindow(window_);
    // Room for the picture, and for longer lists.
    RECT frame{0, 0, least.cx + 40 * m.charWidth, std::max<LONG>(least.cy, 40 * m.lineHeight)};
    ::AdjustWindowRectExForDpi(&frame, static_cast<DWORD>(::GetWindowLongW(window_, GWL_STYLE)),
                               TRUE, 0, dpi);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    ::GetMonitorInfoW(::MonitorFromWindow(window_, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    int w = frame.right - frame.left, h = frame.bottom - frame.top;
    const int keptWidth = keptValue(L"width"), keptHeight = keptValue(L"height");
    if (keptWidth > 0 && keptHeight > 0) {
        w = ::MulDiv(keptWidth, static_cast<int>(dpi), 96);
        h = ::MulDiv(keptHeight, static_cast<int>(dpi), 96);
        if (const int split = keptValue(L"split"); split > 0)
            splitAt_ = std::clamp(split / 100000.0, 0.2, 0.8);
        maximized_ = keptValue(L"maximized") != 0;
    }
    w = std::min<int>(w, work.right - work.left);
    h = std::min<int>(h, work.bottom - work.top);
    int x = work.left + (work.right - work.left - w) / 2;
    int y = work.top + (work.bottom - work.top - h) / 2;
    if (keptWidth > 0 && keptHeight > 0) {
        x = std::clamp<int>(work.left + keptValue(L"left"), work.left, work.right - w);
        y = std::clamp<int>(work.top + keptValue(L"top"), work.top, work.bottom - h);
    }
    ::SetWindowPos(window_, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
    layOut();
}

void MainWindow::keepLayout() const {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    if (!::GetWindowPlacement(window_, &placement) || !makeFolder(settingsFolder()).ok())
        return;
    // The restored place, in the work area's coordinates, as placeFirstTime takes it.
    const RECT& at = placement.rcNormalPosition;
    const int dpi = static_cast<int>(::GetDpiForWindow(window_));
    const std::wstring file = layoutFile();
    auto keep = [&](const wchar_t* key, int value) {
        ::WritePrivateProfileStringW(kLayoutSection, key, std::to_wstring(value).c_str(),
                                     file.c_str());
    };
    keep(L"left", at.left);
    keep(L"top", at.top);
    keep(L"width", ::MulDiv(at.right - at.left, 96, dpi));
    keep(L"height", ::MulDiv(at.bottom - at.top, 96, dpi));
    keep(L"maximized", placement.showCmd == SW_SHOWMAXIMIZED);
    keep(L"split", static_cast<int>(splitAt_ * 100000 + 0.5));
}

} // namespace quillfen::win32
