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

// The subfolders of `folder`, hidden ones too: the default Wine prefix itself is one (~/.wine).
QFileInfoList subfolders(const QString& folder) {
    return QDir(folder).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden,
                                      QDir::Name | QDir::IgnoreCase);
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
        if (current == nullptr) {
            addTopLevelItem(item);
        } else if (folder != path_) {
            current->addChild(item);
        } else {
            // The current folder among its siblings, as a file dialog shows it.
            for (const QFileInfo& sibling : subfolders(current->data(0, kPathRole).toString()))
                if (sibling.absoluteFilePath() == path_)
                    current->addChild(item);
                else
                    current->addChild(
                        folderItem(sibling.fileName(), sibling.absoluteFilePath(), closed));
            if (item->parent() == nullptr)
                current->addChild(item);
        }
        current = item;
    }

    for (const QFileInfo& child : subfolders(path_))
        current->addChild(folderItem(child.fileName(), child.absoluteFilePath(), closed));

    expandAll();
    setCurrentItem(current);
    scrollToItem(current);
}

} // namespace quillfen
