#include "window/preview_window.h"

#include "editor/window_menus.h"

#include <QActionGroup>
#include <QLabel>
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

void PreviewWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (size_ == 2)
        scaleTo(size_);
}

} // namespace quillfen
