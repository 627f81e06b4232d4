// The profile box, the folder list and the level-file list of MainWindow: filled from the
// Editor, and read for it when the user acts on them.
#include "editor/window_texts.h"
#include "host/file_io.h"
#include "host/windows_text.h"
#include "win32/main_window.h"
#include "win32/preview_view.h"

#include <algorithm>

namespace quillfen::win32 {
namespace {

// The text of `row` of a combo box's list.
std::wstring rowText(HWND box, int row) {
    auto length = static_cast<std::size_t>(::SendMessageW(box, CB_GETLBTEXTLEN, row, 0));
    std::wstring text(length + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        ::SendMessageW(box, CB_GETLBTEXT, row, reinterpret_cast<LPARAM>(text.data()))));
    return text;
}

} // namespace

void MainWindow::fillProfiles(const std::vector<std::string>& names, bool selectFirst) {
    ::SendMessageW(profileBox, CB_RESETCONTENT, 0, 0);
    for (const std::string& name : names)
        ::SendMessageW(profileBox, CB_ADDSTRING, 0,
                       reinterpret_cast<LPARAM>(widened(name).c_str()));
    if (selectFirst && !names.empty())
        ::SendMessageW(profileBox, CB_SETCURSEL, 0, 0);
    else
        ::SetWindowTextW(profileBox, L"");
}

void MainWindow::onProfileChosen() {
    int chosen = static_cast<int>(::SendMessageW(profileBox, CB_GETCURSEL, 0, 0));
    // Profile names are UTF-8, as the registry gives them.
    std::string name = narrowed(rowText(profileBox, chosen));
    Outcome outcome;
    runEdit([&] { return outcome = editor_.chooseProfile(name, progressReport()); });
    if (outcome.profileShown)
        showProfileName(*outcome.profileShown);
}

void MainWindow::showProfileName(const std::string& name) {
    int row =
        static_cast<int>(::SendMessageW(profileBox, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                        reinterpret_cast<LPARAM>(widened(name).c_str())));
    ::SendMessageW(profileBox, CB_SETCURSEL, static_cast<WPARAM>(row), 0);
}

void MainWindow::listLevelFiles(const std::string& folder) {
    LevelFolder listed = editor_.openFolder(folder);
    levelFiles_.show(std::move(listed.names));
    shownFileRow_ = -1;
    ::SetWindowTextW(levelCountLabel, widened(listed.countText).c_str());
    showPanel(listed.panel);
}

// The folder list shows the folders from the root down to the folder, the folder among its
// siblings and its subfolders, as a file dialog does; its level files go to the level-file list.
void MainWindow::setFolder(const std::string& folder) {
    listLevelFiles(folder);
    showFolderRows();
    showFolderPath(folder);
    followFolder(folder);
}

void MainWindow::showFolderRows() {
    folderRows_ = editor_.folderRows();
    ::SendMessageW(folderList, WM_SETREDRAW, FALSE, 0);
    TreeView_DeleteAllItems(folderList);
    // The last item at each depth so far: the parent of the rows one step further in.
    std::vector<HTREEITEM> parents;
    HTREEITEM current = nullptr;
    for (std::size_t row = 0; row < folderRows_.size(); ++row) {
        const Editor::FolderRow& shown = folderRows_[row];
        std::wstring name = widened(shown.name);
        // The folders down to the current one are open.
        const bool open = shown.current || (row + 1 < folderRows_.size() &&
                                            folderRows_[row + 1].depth > shown.depth);
        TVINSERTSTRUCTW insert{};
        insert.hParent =
            shown.depth > 0 ? parents[static_cast<std::size_t>(shown.depth) - 1] : TVI_ROOT;
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_STATE | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
        insert.item.pszText = name.data();
        insert.item.lParam = static_cast<LPARAM>(row);
        insert.item.state = insert.item.stateMask = TVIS_EXPANDED;
        insert.item.iImage = insert.item.iSelectedImage = open ? 1 : 0;
        parents.resize(static_cast<std::size_t>(shown.depth));
        parents.push_back(TreeView_InsertItem(folderList, &insert));
        if (shown.current)
            current = parents.back();
    }
    TreeView_SelectItem(folderList, current);
    ::SendMessageW(folderList, WM_SETREDRAW, TRUE, 0);
    TreeView_EnsureVisible(folderList, current);
    ::InvalidateRect(folderList, nullptr, TRUE);
}

// A path longer than its box shows its end, the folder it names, as a file dialog shows it.
void MainWindow::showFolderPath(const std::string& folder) {
    const std::wstring path = widened(folder);
    ::SetWindowTextW(folderPathEdit, path.c_str());
    ::SendMessageW(folderPathEdit, EM_SETSEL, path.size(), static_cast<LPARAM>(path.size()));
    ::SendMessageW(folderPathEdit, EM_SCROLLCARET, 0, 0);
}

// Files and folders that come or go in the folder while it is shown show at once, and so do
// folders that come or go beside it.
void MainWindow::followFolder(const std::string& folder) {
    for (HANDLE& change : folderChanges_)
        if (change != INVALID_HANDLE_VALUE) {
            ::FindCloseChangeNotification(change);
            change = INVALID_HANDLE_VALUE;
        }
    folderChanges_[0] = ::FindFirstChangeNotificationW(
        widened(folder).c_str(), FALSE,
        FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME | FILE_NOTIFY_CHANGE_SIZE);
    if (const std::string parent = folderOf(folder); parent != folder)
        folderChanges_[1] = ::FindFirstChangeNotificationW(widened(parent).c_str(), FALSE,
                                                           FILE_NOTIFY_CHANGE_DIR_NAME);
}

void MainWindow::onFolderChanged(HANDLE change) {
    ::FindNextChangeNotification(change);
    if (change == folderChanges_[0]) {
        LevelFolder listed = editor_.openFolder(editor_.levelFolder());
        levelFiles_.show(std::move(listed.names), /*keepSelection=*/true);
        ::SetWindowTextW(levelCountLabel, widened(listed.countText).c_str());
    }
    showFolderRows();
}

void MainWindow::onFolderOpened() {
    TVITEMW item{};
    item.mask = TVIF_PARAM;
    item.hItem = TreeView_GetSelection(folderList);
    if (!item.hItem || !TreeView_GetItem(folderList, &item) ||
        static_cast<std::size_t>(item.lParam) >= folderRows_.size())
        return;
    // A copy: the rows are made anew for the folder opened.
    const std::string folder = folderRows_[static_cast<std::size_t>(item.lParam)].hostPath;
    setFolder(folder);
}

void MainWindow::onFolderPathEntered() {
    if (auto folder = editor_.openTypedFolder(textOf(folderPathEdit)))
        setFolder(*folder);
    else
        showFolderPath(editor_.levelFolder());
}

void MainWindow::onBrowseFolder() {
    if (std::string folder = ui_.chooseFolder(window::kChooseFolder, editor_.chooserFolder());
        !folder.empty())
        setFolder(folder);
}

void MainWindow::openFile(const std::string& hostPath) {
    setFolder(folderOf(hostPath));
    const std::string name = fileNameOf(hostPath);
    const auto& names = levelFiles_.names();
    const auto listed = std::find(names.begin(), names.end(), name);
    if (listed != names.end() && editor_.notALevel(name).empty()) {
        const int row = static_cast<int>(listed - names.begin());
        levelFiles_.select({row});
        ListView_EnsureVisible(levelFiles_.handle(), row, FALSE);
    } else {
        importPack(hostPath);
    }
}

void MainWindow::onAddSelectedLevels() {
    FileListSelection files = levelFiles_.selection();
    runEdit([&] { return editor_.addSelectedLevels(files); });
}

void MainWindow::onLevelFileChosen() {
    const int row = ListView_GetNextItem(levelFiles_.handle(), -1, LVNI_FOCUSED);
    const auto& names = levelFiles_.names();
    // A file of the list shows in the panel alone, its counts with it.
    if (followingCore_ || row < 0 || static_cast<std::size_t>(row) >= names.size())
        return;
    const Outcome clicked = editor_.clickFile(names[static_cast<std::size_t>(row)], countBoxes());
    if (clicked.done) {
        shownFileRow_ = row;
        showPanel(clicked.panel);
        return;
    }
    // Cancelled: the file whose counts were typed is the list's current one again.
    followingCore_ = true;
    levelFiles_.select(shownFileRow_ < 0 ? std::vector<int>{} : std::vector<int>{shownFileRow_});
    followingCore_ = false;
}

} // namespace quillfen::win32
