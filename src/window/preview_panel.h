#pragma once

#include "editor/preview_service.h"

#include <QWidget>
#include <string>

class QLabel;

namespace quillfen {

class Editor;
class PreviewWindow;

// The selected level's picture, shrunk to the panel's width, with its facts under it; without
// graphics, the facts and a line saying where to point the tool. The picture is drawn by a
// PreviewService away from the window's thread and shown when it is done. A double click on it
// opens it in a PreviewWindow.
class PreviewPanel : public QWidget {
    Q_OBJECT
public:
    PreviewPanel(Editor& editor, QWidget* parent = nullptr);
    ~PreviewPanel() override;

    // The level file at `hostPath` (empty: none), its graphics looked for where the Editor says.
    void showLevel(const std::string& hostPath);
    // View > Preview: the picture in a window of its own.
    void openWindow();
    // Options > Game folder... and DOS graphics folder...: a folder chooser; the choice is kept.
    void chooseGameFolder();
    void chooseDosGraphicsFolder();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Shows the service's newest preview, once it is done (on the window's thread).
    void takePreview();
    // The picture in the preview window, which follows the selection while it is open.
    void showInWindow();
    int pictureWidth() const;

    Editor& editor_;
    QLabel* picture_ = nullptr;
    QLabel* facts_ = nullptr;
    QLabel* note_ = nullptr;
    PreviewWindow* window_ = nullptr;
    std::string file_;
    int askedWidth_ = 0;
    LevelPreviewShown shown_;
    PreviewService service_;
};

// The picture's pixels as a QImage of its own.
QImage toQImage(const preview::Image& image);

} // namespace quillfen
