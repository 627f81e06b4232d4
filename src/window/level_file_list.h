#pragma once

#include <QListWidget>

namespace quillfen {

// The level-file list: the level files of the folder list's folder. Dragged entries carry their
// files' paths, as a file manager's do, so that the tree takes both alike. Enter asks for the
// selected files to be added; the context menu is the window's (customContextMenuRequested).
class LevelFileListView : public QListWidget {
    Q_OBJECT
public:
    explicit LevelFileListView(QWidget* parent = nullptr) : QListWidget(parent) {
        setContextMenuPolicy(Qt::CustomContextMenu);
    }

    // The folder whose files the list shows.
    void setFolder(const QString& folder) { folder_ = folder; }

signals:
    void addRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QList<QListWidgetItem*>& items) const override;

private:
    QString folder_;
};

} // namespace quillfen
