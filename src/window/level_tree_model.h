#pragma once

#include "database/level_tree.h"

#include <QAbstractItemModel>
#include <functional>

namespace quillfen {

// Shows a LevelTree to a QTreeView and follows it in place: the tree tells every change through
// LevelTreeObserver and the model passes exactly that change on (rows inserted, removed, text
// changed), so the view keeps its expansion, selection and scroll position. The model never
// changes the tree: an edit typed into the view goes to `renameRequested`, which runs the core's
// command; the tree then tells the new text like any other change.
class LevelTreeModel : public QAbstractItemModel, private LevelTreeObserver {
public:
    using RenameRequest = std::function<bool(const LevelTreeNode* node, const QString& text)>;
    // A drop on a set: the set, the row before which the drop landed (-1: onto the set itself)
    // and what was dropped. True when it was taken.
    using DropRequest =
        std::function<bool(const LevelTreeNode* set, int row, const QMimeData* data)>;
    // What a dragged level carries: its key.
    static constexpr char kLevelMimeType[] = "application/x-quillfen-level";

    explicit LevelTreeModel(const LevelTree& tree, QObject* parent = nullptr);
    ~LevelTreeModel() override;

    void setRenameRequest(RenameRequest request) { renameRequested_ = std::move(request); }
    void setDropRequest(DropRequest request) { dropRequested_ = std::move(request); }
    // What a node's mark says (its problems, one a line; empty: no mark), shown as a warning
    // icon with the text as its tooltip.
    using ProblemsOf = std::function<std::string(const LevelTreeNode* node)>;
    void setProblemsOf(ProblemsOf problemsOf) { problemsOf_ = std::move(problemsOf); }

    const LevelTreeNode* node(const QModelIndex& index) const;
    QModelIndex indexOf(const LevelTreeNode* node) const;
    // The row added last since the previous call, so that the window can show it; invalid when
    // none was added.
    QModelIndex takeLastInserted();

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    Qt::DropActions supportedDropActions() const override;
    Qt::DropActions supportedDragActions() const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    bool canDropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                         const QModelIndex& parent) const override;
    bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                      const QModelIndex& parent) override;

private:
    void beforeInsert(const LevelTreeNode* parent, int row) override;
    void afterInsert() override;
    void beforeRemove(const LevelTreeNode* parent, int row) override;
    void afterRemove() override;
    void beforeReset() override;
    void afterReset() override;
    void textChanged(const LevelTreeNode* node) override;
    void beforeMove(const LevelTreeNode* parent, int from, int to) override;
    void afterMove() override;

    const LevelTree& tree_;
    RenameRequest renameRequested_;
    DropRequest dropRequested_;
    ProblemsOf problemsOf_;
    const LevelTreeNode* insertParent_ = nullptr;
    int insertRow_ = -1;
    bool inserted_ = false;
};

} // namespace quillfen
