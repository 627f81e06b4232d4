#pragma once

#include <QLabel>
#include <QPainter>

namespace quillfen {

// A one-line label that leaves out the middle of a text too long for it, so that a path keeps
// its drive and its file's name; the whole text is its tooltip.
class ElidingLabel : public QLabel {
public:
    using QLabel::QLabel;

    QSize minimumSizeHint() const override { return {0, QLabel::minimumSizeHint().height()}; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QRect area = contentsRect();
        painter.drawText(area, static_cast<int>(alignment()),
                         fontMetrics().elidedText(text(), Qt::ElideMiddle, area.width()));
    }
};

} // namespace quillfen
