#include "window/preview_window.h"

#include "editor/window_menus.h"

#include <QActionGroup>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolBar>
#include <QVBoxLayout>

namespace quillfen {

PreviewWindow::PreviewWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("previewWindow"));
    auto* sizes = new QToolBar(this);
    auto* group = new QActionGroup(this);
    for (int size = 0; size < 3; ++size) {
        QAction* action = sizes->addAction(QString::fromLatin1(window::kPreviewSizes[size]));
        action->setObjectName(QStringLiteral("previewSize%1").arg(size));
        action->setCheckable(true);
        action->setChecked(size == size_);
        group->addAction(action);
        connect(action, &QAction::triggered, this, [this, size] { scaleTo(size); });
    }
    shown_ = new QLabel;
    shown_->setObjectName(QStringLiteral("previewWindowPicture"));
    scroll_ = new QScrollArea(this);
    scroll_->setWidget(shown_);
    scroll_->setAlignment(Qt::AlignCenter);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(sizes);
    column->addWidget(scroll_);
    resize(800, 260);
}

void PreviewWindow::openOver(const QWidget* over) {
    const QRect screen = over->screen()->availableGeometry();
    // The frame and the scroll area's own edges take a little of the screen's width.
    const int room = screen.width() * 9 / 10;
    size_ = picture_.width() * 2 <= room ? 1 : picture_.width() <= room ? 0 : 2;
    findChild<QAction*>(QStringLiteral("previewSize%1").arg(size_))->setChecked(true);
    const int width = size_ == 2 ? room : picture_.width() * (size_ + 1);
    const int height = size_ == 2 ? picture_.height() * room / std::max(1, picture_.width())
                                  : picture_.height() * (size_ + 1);
    const int edges = 2 * scroll_->frameWidth() + 4;
    const int toolBar = layout()->itemAt(0)->sizeHint().height();
    resize(QSize(width + edges, height + edges + toolBar).boundedTo(screen.size() * 9 / 10));
    QRect place = frameGeometry();
    place.moveCenter(over->frameGeometry().center());
    move(place.topLeft());
    show();
    // Fit measures the scroll area as the window's layout has just placed it.
    layout()->activate();
    scaleTo(size_);
    raise();
    activateWindow();
}

void PreviewWindow::showPicture(const QImage& picture, const QString& title) {
    picture_ = picture;
    setWindowTitle(title.isEmpty()
                       ? QString::fromLatin1(window::kPreview)
                       : QString::fromLatin1(window::kPreview) + QStringLiteral(": ") + title);
    scaleTo(size_);
}

void PreviewWindow::scaleTo(int size) {
    size_ = size;
    if (picture_.isNull()) {
        shown_->clear();
        shown_->adjustSize();
        return;
    }
    // Twice the size keeps every pixel sharp; fit smooths what it shrinks.
    const int width = size == 2 ? scroll_->viewport()->width() : picture_.width() * (size + 1);
    const QImage scaled = picture_.scaledToWidth(
        std::max(1, width), size == 2 ? Qt::SmoothTransformation : Qt::FastTransformation);
    shown_->setPixmap(QPixmap::fromImage(scaled));
    shown_->resize(scaled.size());
}

void PreviewWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape)
        close();
    else
        QWidget::keyPressEvent(event);
}

void PreviewWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (size_ == 2)
        scaleTo(size_);
}

} // namespace quillfen
