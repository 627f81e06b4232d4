#include "window/level_file_list.h"

#include <QDir>
#include <QKeyEvent>
#include <QMimeData>
#include <QUrl>

namespace quillfen {

void LevelFileListView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        emit addRequested();
        return;
    }
    QListWidget::keyPressEvent(event);
}

QStringList LevelFileListView::mimeTypes() const {
    return {QStringLiteral("text/uri-list")};
}

QMimeData* LevelFileListView::mimeData(const QList<QListWidgetItem*>& items) const {
    QList<QUrl> urls;
    for (const QListWidgetItem* item : items)
        urls.append(QUrl::fromLocalFile(QDir(folder_).filePath(item->text())));
    auto* data = new QMimeData;
    data->setUrls(urls);
    return data;
}

} // namespace quillfen
