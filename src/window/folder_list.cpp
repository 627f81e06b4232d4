#include "window/folder_list.h"

#include <QFileInfo>
#include <QHeaderView>
#include <QStyle>

namespace quillfen {
namespace {

constexpr int kPathRole = Qt::UserRole;

QTreeWidgetItem* folderItem(const QString& text, const QString& path, const QIcon& icon) {
    auto* item = new QTreeWidgetItem(QStringList{text});
    item->setData(0, kPathRole, path);
    item->setIcon(0, icon);
    return item;
}

} // namespace

FolderList::FolderList(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setIndentation(8);
    setSelectionMode(QAbstractItemView::SingleSelection);
    // One click opens a folder, as in a file manager; so do Enter and a double click.
    auto open = [this](QTreeWidgetItem* item) { setPath(item->data(0, kPathRole).toString()); };
    connect(this, &QTreeWidget::itemClicked, this, open);
    connect(this, &QTreeWidget::itemActivated, this, open);
}

void FolderList::setPath(const QString& path) {
    QFileInfo info(path);
    if (!info.isDir())
        return;
    // The folder as it really lies: a Wine drive is a link (dosdevices/c: -> drive_c), and the
    // list shows the way up from the real folder.
    QString real = info.canonicalFilePath();
    if (real == path_)
        return;
    path_ = real;
    emit pathChanged();
}

void FolderList::showRows(const std::vector<Editor::FolderRow>& rows) {
    clear();
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirIcon);
    // The last item at each depth so far: the parent of the rows one step further in.
    std::vector<QTreeWidgetItem*> parents;
    QTreeWidgetItem* current = nullptr;
    for (std::size_t row = 0; row < rows.size(); ++row) {
        const Editor::FolderRow& shown = rows[row];
        // The folders down to the current one are open.
        const bool onTheWay =
            shown.current || (row + 1 < rows.size() && rows[row + 1].depth > shown.depth);
        auto* item = folderItem(QString::fromStdString(shown.name),
                                QString::fromStdString(shown.hostPath), onTheWay ? open : closed);
        const auto depth = static_cast<std::size_t>(shown.depth);
        if (depth == 0)
            addTopLevelItem(item);
        else
            parents[depth - 1]->addChild(item);
        parents.resize(depth);
        parents.push_back(item);
        if (shown.current)
            current = item;
    }
    expandAll();
    setCurrentItem(current);
    if (current)
        scrollToItem(current);
}

} // namespace quillfen
