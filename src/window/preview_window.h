#pragma once

#include <QImage>
#include <QWidget>

class QLabel;
class QScrollArea;

namespace quillfen {

// A level's picture in a window of its own that scrolls: at its own size, twice that, or fit to
// the window's width, the size shown checked; Escape closes it.
class PreviewWindow : public QWidget {
    Q_OBJECT
public:
    explicit PreviewWindow(QWidget* parent = nullptr);

    void showPicture(const QImage& picture, const QString& title);
    // Opens the window centred on `over`, at twice the picture's size or the largest size that
    // fits the screen, sized to what it shows.
    void openOver(const QWidget* over);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void scaleTo(int size);

    QImage picture_;
    QLabel* shown_ = nullptr;
    QScrollArea* scroll_ = nullptr;
    int size_ = 2; // index of kPreviewSizes: 1x, 2x, fit
};

} // namespace quillfen
