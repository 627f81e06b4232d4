#include "win32/tree_view.h"

#include "win32/win32_user_interface.h"

#include <utility>

namespace quillfen::win32 {

TreeViewSync::TreeViewSync(HWND treeView, const LevelTree& tree) : view_(treeView), tree_(tree) {
    tree_.addObserver(this);
    afterReset();
}

TreeViewSync::~TreeViewSync() {
    tree_.removeObserver(this);
}

HTREEITEM TreeViewSync::item(const LevelTreeNode* node) const {
    auto found = items_.find(node);
    return found == items_.end() ? nullptr : found->second;
}

const LevelTreeNode* TreeViewSync::node(HWND treeView, HTREEITEM item) {
    if (!item)
        return nullptr;
    TVITEMW data{};
    data.mask = TVIF_PARAM;
    data.hItem = item;
    TreeView_GetItem(treeView, &data);
    return reinterpret_cast<const LevelTreeNode*>(data.lParam);
}

HTREEITEM TreeViewSync::takeLastInserted() {
    return std::exchange(lastInserted_, nullptr);
}

const LevelTreeNode* TreeViewSync::childAt(const LevelTreeNode* parent, int row) const {
    if (parent)
        return parent->child(row);
    const auto& groups = tree_.topLevel();
    return row >= 0 && row < static_cast<int>(groups.size()) ? groups[row] : nullptr;
}

void TreeViewSync::insert(const LevelTreeNode* node, bool withChildren) {
    const LevelTreeNode* before = node->previousSibling();
    std::wstring text = wide(shownTitle(std::string(node->text())));
    TVINSERTSTRUCTW where{};
    where.hParent = node->parent() ? item(node->parent()) : TVI_ROOT;
    where.hInsertAfter = before ? item(before) : TVI_FIRST;
    where.item.mask = TVIF_TEXT | TVIF_PARAM;
    where.item.pszText = text.data();
    where.item.lParam = reinterpret_cast<LPARAM>(node);
    HTREEITEM added = TreeView_InsertItem(view_, &where);
    items_[node] = added;
    lastInserted_ = added;
    if (withChildren)
        for (int row = 0; row < node->children(); ++row)
            insert(node->child(row), true);
}

void TreeViewSync::forget(const LevelTreeNode* node) {
    items_.erase(node);
    for (int row = 0; row < node->children(); ++row)
        forget(node->child(row));
}

void TreeViewSync::beforeInsert(const LevelTreeNode* parent, int row) {
    pendingParent_ = parent;
    pendingRow_ = row;
}

void TreeViewSync::afterInsert() {
    if (const LevelTreeNode* added = childAt(pendingParent_, pendingRow_))
        insert(added, true);
}

void TreeViewSync::beforeRemove(const LevelTreeNode* parent, int row) {
    const LevelTreeNode* going = childAt(parent, row);
    if (!going)
        return;
    HTREEITEM gone = item(going);
    forget(going);
    TreeView_DeleteItem(view_, gone);
    // A remembered insertion under a removed node would name an item that is gone.
    lastInserted_ = nullptr;
}

void TreeViewSync::beforeReset() {
    items_.clear();
    TreeView_DeleteAllItems(view_);
}

void TreeViewSync::afterReset() {
    items_.clear();
    TreeView_DeleteAllItems(view_);
    for (const LevelTreeNode* group : tree_.topLevel())
        insert(group, true);
    lastInserted_ = nullptr;
}

void TreeViewSync::textChanged(const LevelTreeNode* node) {
    std::wstring text = wide(shownTitle(std::string(node->text())));
    TVITEMW data{};
    data.mask = TVIF_TEXT;
    data.hItem = item(node);
    data.pszText = text.data();
    TreeView_SetItem(view_, &data);
}

void TreeViewSync::beforeMove(const LevelTreeNode* parent, int from, int) {
    // A childless node: its item goes, and comes back at its new row.
    moving_ = childAt(parent, from);
    if (!moving_)
        return;
    HTREEITEM gone = item(moving_);
    items_.erase(moving_);
    TreeView_DeleteItem(view_, gone);
}

void TreeViewSync::afterMove() {
    if (!moving_)
        return;
    insert(std::exchange(moving_, nullptr), false);
    lastInserted_ = nullptr;
}

} // namespace quillfen::win32
