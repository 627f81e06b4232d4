#include "window/folder_list.h"

#include <QDir>
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
    fill();
    emit pathChanged();
}

void FolderList::fill() {
    clear();
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirIcon);

    // The chain of open folders, from the root down.
    QStringList chain;
    for (QDir dir(path_);;) {
        chain.prepend(dir.absolutePath());
        if (!dir.cdUp())
            break;
    }
    QTreeWidgetItem* current = nullptr;
    for (const QString& folder : chain) {
        QString name = QFileInfo(folder).fileName();
        auto* item =
            folderItem(name.isEmpty() ? QDir::toNativeSeparators(folder) : name, folder, open);
        if (current)
            current->addChild(item);
        else
            addTopLevelItem(item);
        current = item;
    }

    // Hidden folders are listed too: the default Wine prefix itself is one (~/.wine).
    const QFileInfoList children = QDir(path_).entryInfoList(
        QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& child : children)
        current->addChild(folderItem(child.fileName(), child.absoluteFilePath(), closed));

    expandAll();
    setCurrentItem(current);
    scrollToItem(current);
}

} // namespace quillfen
