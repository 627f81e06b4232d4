// The main window's notifications from its lists and its tree, a level dragged within its set,
// and level files dropped from Explorer.
#include "host/windows_text.h"
#include "levelfile/level_file.h"
#include "win32/main_window.h"
#include "win32/preview_view.h"

#include <shellapi.h>
#include <windowsx.h>

namespace quillfen::win32 {

void MainWindow::nodeClicked(const LevelTree::Node* node) {
    const Outcome clicked = editor_.clickNode(node, countBoxes());
    if (clicked.done) {
        shownFileRow_ = -1;
        showPanel(clicked.panel);
        return;
    }
    // Cancelled: the typed counts stay, and so does the node they belong to.
    followingCore_ = true;
    showCoreSelection();
    followingCore_ = false;
}

LRESULT MainWindow::notify(NMHDR* header) {
    if (header->hwndFrom == levelFiles_.handle()) {
        // The focused file's picture goes to the preview.
        auto* change = reinterpret_cast<NMLISTVIEW*>(header);
        if (header->code == LVN_ITEMCHANGED &&
            ((change->uNewState ^ change->uOldState) & LVIS_FOCUSED) != 0)
            onLevelFileChosen();
        if (header->code == LVN_BEGINDRAG) {
            // The selected files go with the mouse, to be let go over a set of the tree.
            const std::vector<bool> selected = levelFiles_.selection().selected;
            draggedFiles_.clear();
            for (std::size_t row = 0; row < selected.size(); ++row)
                if (selected[row])
                    draggedFiles_.push_back(
                        levelfile::levelFilePath(editor_.levelFolder(), levelFiles_.names()[row]));
            if (!draggedFiles_.empty())
                ::SetCapture(window_);
            return 0;
        }
        return levelFiles_.notify(header);
    }
    // A click on a folder opens it, as in a file dialog; the keys only move the selection, and
    // Enter opens it. The list is filled anew once the click is done with its rows.
    if (header->hwndFrom == folderList && header->code == TVN_SELCHANGEDW &&
        reinterpret_cast<NMTREEVIEWW*>(header)->action == TVC_BYMOUSE)
        ::PostMessageW(window_, WM_COMMAND, MAKEWPARAM(IdFolderList, 0),
                       reinterpret_cast<LPARAM>(folderList));
    if (header->hwndFrom != profileTree)
        return 0;
    if (header->code == TVN_SELCHANGEDW) {
        auto* change = reinterpret_cast<NMTREEVIEWW*>(header);
        if (!followingCore_)
            nodeClicked(TreeViewSync::node(profileTree, change->itemNew.hItem));
        return 0;
    }
    if (header->code == NM_CLICK) {
        // A click on the selected node reads the panel again, as the game's editor does.
        DWORD position = ::GetMessagePos();
        TVHITTESTINFO hit{};
        hit.pt = {GET_X_LPARAM(position), GET_Y_LPARAM(position)};
        ::ScreenToClient(profileTree, &hit.pt);
        HTREEITEM item = TreeView_HitTest(profileTree, &hit);
        if (item && item == TreeView_GetSelection(profileTree))
            nodeClicked(TreeViewSync::node(profileTree, item));
        return 0;
    }
    if (header->code == TVN_BEGINDRAGW) {
        auto* drag = reinterpret_cast<NMTREEVIEWW*>(header);
        const LevelTree::Node* node = TreeViewSync::node(profileTree, drag->itemNew.hItem);
        if (node && node->kind() == NodeKind::Level) {
            draggedLevel_ = node;
            ::SetCapture(window_);
        }
        return 0;
    }
    if (header->code == TVN_GETINFOTIPW) {
        // A marked node's tooltip names its problems.
        auto* tip = reinterpret_cast<NMTVGETINFOTIPW*>(header);
        const LevelTree::Node* node = TreeViewSync::node(profileTree, tip->hItem);
        std::wstring text = node ? widened(problemsOfNode(editor_.problems(), node->key())) : L"";
        if (tip->cchTextMax > 0)
            tip->pszText[text.copy(tip->pszText, static_cast<std::size_t>(tip->cchTextMax) - 1)] =
                L'\0';
        return 0;
    }
    if (header->code == TVN_BEGINLABELEDITW) {
        labelEditing_ = true;
        // The tree draws a backquote as an apostrophe; the edit starts from the stored bytes.
        auto* edit = reinterpret_cast<NMTVDISPINFOW*>(header);
        if (const LevelTree::Node* node = TreeViewSync::node(profileTree, edit->item.hItem))
            ::SetWindowTextW(TreeView_GetEditControl(profileTree),
                             wide(std::string(node->text())).c_str());
        return FALSE;
    }
    if (header->code == TVN_ENDLABELEDITW) {
        auto* edit = reinterpret_cast<NMTVDISPINFOW*>(header);
        // Wine's tree ends an edit a second time when its text box goes: one edit, one rename.
        if (!std::exchange(labelEditing_, false) || !edit->item.pszText)
            return FALSE; // cancelled
        editor_.rename(TreeViewSync::node(profileTree, edit->item.hItem),
                       fromWide(edit->item.pszText));
        showDocumentState();
        // The tree shows the core's text, which the observer has set already.
        return FALSE;
    }
    return 0;
}

// The splitter between the browser and the tree, and a level dragged within its set.
bool MainWindow::mouse(UINT message, LPARAM lParam) {
    POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (draggedLevel_) {
        if (message == WM_MOUSEMOVE || message == WM_LBUTTONUP)
            dragLevelTo(at, message == WM_LBUTTONUP);
        return true;
    }
    if (!draggedFiles_.empty()) {
        // The row the files would land on is marked as the drop target until they are let go.
        HTREEITEM over = treeItemAt(at);
        TreeView_SelectDropTarget(profileTree, message == WM_MOUSEMOVE ? over : nullptr);
        if (message == WM_LBUTTONUP) {
            std::vector<std::string> paths = std::exchange(draggedFiles_, {});
            ::ReleaseCapture();
            dropFilesOn(TreeViewSync::node(profileTree, over), paths);
        }
        return true;
    }
    RECT splitter = splitterRect();
    if (message == WM_LBUTTONDOWN && ::PtInRect(&splitter, at)) {
        splitting_ = true;
        ::SetCapture(window_);
        return true;
    }
    if (!splitting_)
        return false;
    RECT client{};
    ::GetClientRect(window_, &client);
    splitAt_ = std::clamp(static_cast<double>(at.x) / std::max<LONG>(client.right, 1), 0.2, 0.8);
    layOut();
    if (message == WM_LBUTTONUP) {
        splitting_ = false;
        ::ReleaseCapture();
    }
    return true;
}

HTREEITEM MainWindow::treeItemAt(POINT client) const {
    TVHITTESTINFO hit{};
    hit.pt = client;
    ::MapWindowPoints(window_, profileTree, &hit.pt, 1);
    return TreeView_HitTest(profileTree, &hit);
}

void MainWindow::dragLevelTo(POINT client, bool drop) {
    TVHITTESTINFO hit{};
    hit.pt = client;
    ::MapWindowPoints(window_, profileTree, &hit.pt, 1);
    HTREEITEM target = TreeView_HitTest(profileTree, &hit);
    const LevelTree::Node* over = TreeViewSync::node(profileTree, target);
    // Only a row of the dragged level's own set takes it: the mark stands before that row, or
    // after it in the row's lower half.
    const bool fits = over && over->parent() == draggedLevel_->parent();
    RECT row{};
    const bool after = fits && TreeView_GetItemRect(profileTree, target, &row, TRUE) &&
                       hit.pt.y > (row.top + row.bottom) / 2;
    TreeView_SetInsertMark(profileTree, fits ? target : nullptr, after);
    if (!drop)
        return;
    const LevelTree::Node* level = std::exchange(draggedLevel_, nullptr);
    TreeView_SetInsertMark(profileTree, nullptr, FALSE);
    ::ReleaseCapture();
    if (fits && over != level)
        runEdit([&] { return editor_.dropLevel(level, over->row() + (after ? 1 : 0)); });
}

void MainWindow::onDropFiles(HDROP drop) {
    POINT at{};
    ::DragQueryPoint(drop, &at);
    std::vector<std::string> paths;
    UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::wstring path(::DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
        path.resize(::DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size())));
        paths.push_back(narrowed(path));
    }
    ::DragFinish(drop);
    dropFilesOn(TreeViewSync::node(profileTree, treeItemAt(at)), paths);
}

void MainWindow::dropFilesOn(const LevelTree::Node* node, const std::vector<std::string>& paths) {
    // A drop on a level lands in its set; elsewhere there is no set to take the files.
    if (node && node->kind() == NodeKind::Level)
        node = node->parent();
    if (!node || node->kind() != NodeKind::Set)
        return;
    runEdit([&] { return editor_.dropLevelFiles(node, paths); });
}

void MainWindow::showProblemMarks() {
    if (!sync_)
        return;
    if (!TreeView_GetImageList(profileTree, TVSIL_STATE)) {
        int side = ::GetSystemMetrics(SM_CXSMICON);
        HIMAGELIST marks = ImageList_Create(side, side, ILC_COLOR32 | ILC_MASK, 2, 0);
        // State image 0 means none: the icon stands at 0 and 1, whichever the control draws.
        for (int i = 0; i < 2; ++i)
            ImageList_AddIcon(marks, ::LoadIconW(nullptr, IDI_WARNING));
        TreeView_SetImageList(profileTree, marks, TVSIL_STATE);
    }
    const LevelTree& tree = editor_.tree();
    for (int i = 1; i <= tree.count(); ++i) {
        TVITEMW item{};
        item.mask = TVIF_STATE;
        item.hItem = sync_->item(tree.item(i));
        item.stateMask = TVIS_STATEIMAGEMASK;
        bool marked = !problemsOfNode(editor_.problems(), tree.item(i)->key()).empty();
        item.state = INDEXTOSTATEIMAGEMASK(marked ? 1 : 0);
        if (item.hItem)
            TreeView_SetItem(profileTree, &item);
    }
}

} // namespace quillfen::win32
