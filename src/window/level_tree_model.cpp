#include "window/level_tree_model.h"

#include "editing/editing_commands.h"
#include "window/dialogs.h"

#include <QApplication>
#include <QMimeData>
#include <QStyle>

namespace quillfen {

LevelTreeModel::LevelTreeModel(const LevelTree& tree, QObject* parent)
    : QAbstractItemModel(parent), tree_(tree) {
    tree_.addObserver(this);
}

LevelTreeModel::~LevelTreeModel() {
    tree_.removeObserver(this);
}

const LevelTreeNode* LevelTreeModel::node(const QModelIndex& index) const {
    return index.isValid() ? static_cast<const LevelTreeNode*>(index.internalPointer()) : nullptr;
}

QModelIndex LevelTreeModel::indexOf(const LevelTreeNode* node) const {
    if (node == nullptr)
        return {};
    // Nodes are owned by the tree and stay where they are while they exist.
    return createIndex(node->row(), 0, const_cast<LevelTreeNode*>(node));
}

QModelIndex LevelTreeModel::takeLastInserted() {
    if (!inserted_)
        return {};
    inserted_ = false;
    return index(insertRow_, 0, indexOf(insertParent_));
}

QModelIndex LevelTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (column != 0 || row < 0)
        return {};
    const LevelTreeNode* child = nullptr;
    if (const LevelTreeNode* up = node(parent))
        child = up->child(row);
    else if (row < static_cast<int>(tree_.topLevel().size()))
        child = tree_.topLevel()[static_cast<std::size_t>(row)];
    return indexOf(child);
}

QModelIndex LevelTreeModel::parent(const QModelIndex& child) const {
    const LevelTreeNode* n = node(child);
    return n ? indexOf(n->parent()) : QModelIndex();
}

int LevelTreeModel::rowCount(const QModelIndex& parent) const {
    if (parent.column() > 0)
        return 0;
    if (const LevelTreeNode* n = node(parent))
        return n->children();
    return static_cast<int>(tree_.topLevel().size());
}

int LevelTreeModel::columnCount(const QModelIndex&) const {
    return 1;
}

QVariant LevelTreeModel::data(const QModelIndex& index, int role) const {
    const LevelTreeNode* n = node(index);
    if (n == nullptr)
        return {};
    if (role == Qt::DisplayRole)
        return toQt(shownTitle(std::string(n->text())));
    if (role == Qt::EditRole)
        return toQt(std::string(n->text()));
    if ((role != Qt::ToolTipRole && role != Qt::DecorationRole) || !problemsOf_)
        return {};
    std::string problems = problemsOf_(n);
    if (problems.empty())
        return {};
    if (role == Qt::ToolTipRole)
        return QString::fromStdString(problems);
    return QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
}

bool LevelTreeModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    const LevelTreeNode* n = node(index);
    if (n == nullptr || role != Qt::EditRole || !renameRequested_)
        return false;
    return renameRequested_(n, value.toString());
}

Qt::ItemFlags LevelTreeModel::flags(const QModelIndex& index) const {
    const LevelTreeNode* n = node(index);
    if (n == nullptr)
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
    if (canDrag(n))
        flags |= Qt::ItemIsDragEnabled;
    if (canDropOn(n, nullptr))
        flags |= Qt::ItemIsDropEnabled;
    return flags;
}

Qt::DropActions LevelTreeModel::supportedDropActions() const {
    return Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
}

Qt::DropActions LevelTreeModel::supportedDragActions() const {
    return Qt::MoveAction;
}

QStringList LevelTreeModel::mimeTypes() const {
    return {QString::fromLatin1(kLevelMimeType), QStringLiteral("text/uri-list")};
}

QMimeData* LevelTreeModel::mimeData(const QModelIndexList& indexes) const {
    const LevelTreeNode* n = indexes.isEmpty() ? nullptr : node(indexes.front());
    if (n == nullptr || n->kind() != NodeKind::Level)
        return nullptr;
    auto* data = new QMimeData;
    data->setData(QString::fromLatin1(kLevelMimeType), QByteArray::fromStdString(n->key()));
    return data;
}

bool LevelTreeModel::canDropMimeData(const QMimeData* data, Qt::DropAction, int, int,
                                     const QModelIndex& parent) const {
    const LevelTreeNode* target = node(parent);
    if (data->hasFormat(QString::fromLatin1(kLevelMimeType))) {
        std::string key = data->data(QString::fromLatin1(kLevelMimeType)).toStdString();
        const LevelTreeNode* level = tree_.find(key);
        return level && canDropOn(target, level);
    }
    return data->hasUrls() && canDropOn(target, nullptr);
}

bool LevelTreeModel::dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                                  const QModelIndex& parent) {
    if (!dropRequested_ || !canDropMimeData(data, action, row, column, parent))
        return false;
    return dropRequested_(node(parent), row, data);
}

void LevelTreeModel::beforeInsert(const LevelTreeNode* parent, int row) {
    insertParent_ = parent;
    insertRow_ = row;
    beginInsertRows(indexOf(parent), row, row);
}

void LevelTreeModel::afterInsert() {
    endInsertRows();
    inserted_ = true;
}

void LevelTreeModel::beforeRemove(const LevelTreeNode* parent, int row) {
    // A remembered insertion under a removed node would name a node that is gone.
    inserted_ = false;
    beginRemoveRows(indexOf(parent), row, row);
}

void LevelTreeModel::afterRemove() {
    endRemoveRows();
}

void LevelTreeModel::beforeReset() {
    inserted_ = false;
    beginResetModel();
}

void LevelTreeModel::afterReset() {
    endResetModel();
}

void LevelTreeModel::textChanged(const LevelTreeNode* node) {
    QModelIndex changed = indexOf(node);
    emit dataChanged(changed, changed, {Qt::DisplayRole, Qt::EditRole});
}

void LevelTreeModel::beforeMove(const LevelTreeNode* parent, int from, int to) {
    QModelIndex up = indexOf(parent);
    // Qt names the row before which the moved row lands, counted before the move.
    beginMoveRows(up, from, from, up, to > from ? to + 1 : to);
}

void LevelTreeModel::afterMove() {
    endMoveRows();
}

} // namespace quillfen
