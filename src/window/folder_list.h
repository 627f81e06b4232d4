#pragma once

#include "editor/editor.h"

#include <QTreeWidget>
#include <vector>

namespace quillfen {

// The folder list: the Editor's folder rows (the folders from the file system's root down to the
// current folder, each open, the current folder among its siblings, and its subfolders below
// it), as a file dialog shows them.
// A click or Enter on a folder makes it the current one.
class FolderList : public QTreeWidget {
    Q_OBJECT
public:
    explicit FolderList(QWidget* parent = nullptr);

    // The current folder: an absolute host path, links resolved.
    QString path() const { return path_; }
    // Makes `path` the current folder and tells pathChanged when it changed; the rows shown are
    // then the owner's to give. A path that is not a folder is ignored.
    void setPath(const QString& path);
    // Shows `rows`, each a child of the last row one step less deep, the current one selected.
    void showRows(const std::vector<Editor::FolderRow>& rows);

signals:
    void pathChanged();

private:
    QString path_;
};

} // namespace quillfen
