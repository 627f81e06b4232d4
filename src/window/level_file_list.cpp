#include "window/level_file_list.h"

#include <QDir>
#include <QMimeData>
#include <QUrl>

namespace quillfen {

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
