#pragma once

#include "database/level_tree.h"

#include <unordered_map>
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

namespace quillfen::win32 {

// Keeps a tree-view control equal to the core's LevelTree: told by the tree exactly what
// changed, it inserts, removes, moves and renames items, so that the rest stays as it was.
// Each item's lParam is its node.
class TreeViewSync : public LevelTreeObserver {
public:
    TreeViewSync(HWND treeView, const LevelTree& tree);
    ~TreeViewSync() override;

    HTREEITEM item(const LevelTreeNode* node) const;
    static const LevelTreeNode* node(HWND treeView, HTREEITEM item);
    // The last item inserted since the last call, or null.
    HTREEITEM takeLastInserted();

    void beforeInsert(const LevelTreeNode* parent, int row) override;
    void afterInsert() override;
    void beforeRemove(const LevelTreeNode* parent, int row) override;
    void afterRemove() override {}
    void beforeReset() override;
    void afterReset() override;
    void textChanged(const LevelTreeNode* node) override;
    void beforeMove(const LevelTreeNode* parent, int from, int to) override;
    void afterMove() override;

private:
    const LevelTreeNode* childAt(const LevelTreeNode* parent, int row) const;
    void insert(const LevelTreeNode* node, bool withChildren);
    void forget(const LevelTreeNode* node);

    HWND view_;
    const LevelTree& tree_;
    std::unordered_map<const LevelTreeNode*, HTREEITEM> items_;
    const LevelTreeNode* pendingParent_ = nullptr;
    int pendingRow_ = 0;
    const LevelTreeNode* moving_ = nullptr;
    HTREEITEM lastInserted_ = nullptr;
};

} // namespace quillfen::win32
