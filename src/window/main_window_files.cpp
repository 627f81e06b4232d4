// The main window's level-file browser: the folder list and its path field, the level-file list
// that follows it, and the level files taken from it into the tree.
#include "editor/window_texts.h"
#include "window/folder_list.h"
#include "window/level_file_list.h"
#include "window/level_tree_model.h"
#include "window/main_window.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

namespace quillfen {

void MainWindow::listLevelFiles(const QString& folder) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    LevelFolder listed = editor_.openFolder(folder.toStdString());
    QStringList names;
    names.reserve(static_cast<qsizetype>(listed.names.size()));
    for (const std::string& name : listed.names)
        names.append(QString::fromStdString(name));
    levelFileList->setUpdatesEnabled(false);
    levelFileList->clear();
    levelFileList->addItems(names);
    levelFileList->setUpdatesEnabled(true);
    static_cast<LevelFileListView*>(levelFileList)->setFolder(folder);
    levelCountLabel->setText(QString::fromStdString(listed.countText));
    showPanel(listed.panel);
    QApplication::restoreOverrideCursor();
    markOtherFiles(++listing_, 0);
}

void MainWindow::markOtherFiles(int listing, int from) {
    // Each file must be opened to tell a Windows level from another engine's: that is done a
    // batch at a time once the list shows, so that a large folder opens at once. A newer
    // listing stops an older one's marking.
    if (listing != listing_)
        return;
    const int end = std::min(levelFileList->count(), from + 200);
    for (int row = from; row < end; ++row) {
        QListWidgetItem* item = levelFileList->item(row);
        std::string reason = editor_.notALevel(fromQt(item->text()).text);
        if (reason.empty())
            continue;
        item->setForeground(palette().brush(QPalette::Disabled, QPalette::Text));
        item->setToolTip(QString::fromStdString(reason));
    }
    if (end < levelFileList->count())
        QTimer::singleShot(0, this, [this, listing, end] { markOtherFiles(listing, end); });
}

void MainWindow::levelFileChosen(QListWidgetItem* current, QListWidgetItem* previous) {
    if (current == nullptr || followingCore_)
        return;
    const Outcome clicked = editor_.clickFile(current->text().toStdString(), countBoxes());
    if (clicked.done) {
        showPanel(clicked.panel);
        return;
    }
    QTimer::singleShot(0, this, [this, row = previous ? levelFileList->row(previous) : -1] {
        followingCore_ = true;
        levelFileList->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
        followingCore_ = false;
    });
}

void MainWindow::onFolderChanged() {
    const QString folder = folderList->path();
    listLevelFiles(folder);
    folderList->showRows(editor_.folderRows());
    folderPathEdit->setText(QDir::toNativeSeparators(folder));
    if (!watcher_->directories().isEmpty())
        watcher_->removePaths(watcher_->directories());
    if (folder.isEmpty())
        return;
    // The folder's parent too: folders made or removed beside it are rows of the list.
    watcher_->addPath(folder);
    if (QDir parent(folder); parent.cdUp())
        watcher_->addPath(parent.path());
}

void MainWindow::onWatchedFolderChanged(const QString& changed) {
    if (changed == folderList->path())
        onFolderChanged();
    else
        folderList->showRows(editor_.folderRows());
}

void MainWindow::onFolderPathEntered() {
    if (auto folder = editor_.openTypedFolder(fromQt(folderPathEdit->text())))
        folderList->setPath(QString::fromStdString(*folder));
    else
        folderPathEdit->setText(QDir::toNativeSeparators(folderList->path()));
}

void MainWindow::onBrowseFolder() {
    const QString folder = choosers_.chooseFolder(this, QString::fromLatin1(window::kChooseFolder),
                                                  QString::fromStdString(editor_.chooserFolder()));
    if (!folder.isEmpty())
        folderList->setPath(folder);
}

void MainWindow::openFile(const QString& path) {
    const QFileInfo file(path);
    folderList->setPath(file.absolutePath());
    const QList<QListWidgetItem*> listed =
        levelFileList->findItems(file.fileName(), Qt::MatchExactly);
    if (!listed.isEmpty() && editor_.notALevel(file.fileName().toStdString()).empty())
        levelFileList->setCurrentItem(listed.front());
    else
        importPack(file.absoluteFilePath());
}

void MainWindow::onAddSelectedLevels() {
    FileListSelection files;
    files.current = levelFileList->currentRow();
    for (int row = 0; row < levelFileList->count(); ++row) {
        files.names.push_back(fromQt(levelFileList->item(row)->text()));
        files.selected.push_back(levelFileList->item(row)->isSelected());
    }
    runEdit([&] { return editor_.addSelectedLevels(files); });
}

void MainWindow::showFileContextMenu(const QPoint& place) {
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("fileListContextMenu"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    for (window::Command command : window::kFileListCommands)
        menu->addAction(action(command));
    menu->popup(levelFileList->viewport()->mapToGlobal(place));
}

bool MainWindow::dropOnSet(const LevelTreeNode* set, int row, const QMimeData* data) {
    // The view is in the middle of its drop: the edit waits until it is done, and finds its
    // nodes again by key.
    const QString levelType = QString::fromLatin1(LevelTreeModel::kLevelMimeType);
    if (data->hasFormat(levelType)) {
        std::string key = data->data(levelType).toStdString();
        QTimer::singleShot(0, this,
                           [this, key, row] { levelDropped(editor_.tree().find(key), row); });
        return true;
    }
    QStringList paths;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            paths.append(url.toLocalFile());
    QTimer::singleShot(0, this, [this, key = set->key(), paths] {
        filesDropped(editor_.tree().find(key), paths);
    });
    return !paths.isEmpty();
}

void MainWindow::filesDropped(const LevelTreeNode* set, const QStringList& paths) {
    std::vector<std::string> hostPaths;
    for (const QString& path : paths)
        hostPaths.push_back(path.toStdString());
    runEdit([&] { return editor_.dropLevelFiles(set, hostPaths); });
}

void MainWindow::levelDropped(const LevelTreeNode* level, int row) {
    runEdit([&] { return editor_.dropLevel(level, row); });
}

} // namespace quillfen
