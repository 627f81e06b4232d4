#pragma once

#include <QTreeWidget>

namespace quillfen {

// The folder list: the folders from the file system's root down to the current folder, each
// open, the current folder among its siblings, and its subfolders below it, as a file dialog
// shows them.
// A click or Enter on a folder makes it the current one.
class FolderList : public QTreeWidget {
    Q_OBJECT
public:
    explicit FolderList(QWidget* parent = nullptr);

    // The current folder: an absolute host path, links resolved.
    QString path() const { return path_; }
    // Makes `path` the current folder and tells pathChanged when it changed. A path that is not
    // a folder is ignored.
    void setPath(const QString& path);

signals:
    void pathChanged();

private:
    void fill();

    QString path_;
};

} // namespace quillfen
