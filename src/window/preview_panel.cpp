#include "window/preview_panel.h"

#include "editor/editor.h"
#include "editor/window_texts.h"
#include "window/dialogs.h"
#include "window/preview_window.h"

#include <QFileDialog>
#include <QLabel>
#include <QMouseEvent>
#include <QVBoxLayout>

namespace quillfen {

QImage toQImage(const preview::Image& image) {
    if (image.empty())
        return {};
    // Each pixel is its bytes R, G, B, A in memory.
    return QImage(reinterpret_cast<const uchar*>(image.pixels.data()), image.width, image.height,
                  image.width * 4, QImage::Format_RGBA8888)
        .copy();
}

PreviewPanel::PreviewPanel(Editor& editor, QWidget* parent)
    : QWidget(parent), editor_(editor),
      // The worker wakes this thread, which takes the preview; a call queued for a panel that is
      // gone is dropped with it.
      service_([this] {
          QMetaObject::invokeMethod(this, &PreviewPanel::takePreview, Qt::QueuedConnection);
      }) {
    setObjectName(QString::fromLatin1(window::kPreviewArea.name));
    picture_ = new QLabel(this);
    picture_->setObjectName(QStringLiteral("previewPicture"));
    // The picture follows the panel's width and never widens it.
    picture_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    facts_ = new QLabel(this);
    facts_->setObjectName(QStringLiteral("previewFacts"));
    note_ = new QLabel(this);
    note_->setObjectName(QStringLiteral("previewNote"));
    note_->setWordWrap(true);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    column->addWidget(picture_);
    column->addWidget(facts_);
    column->addWidget(note_);
    // Nothing shown takes no room.
    for (QWidget* part : {static_cast<QWidget*>(this), static_cast<QWidget*>(picture_),
                          static_cast<QWidget*>(facts_), static_cast<QWidget*>(note_)})
        part->hide();
}

PreviewPanel::~PreviewPanel() = default;

int PreviewPanel::pictureWidth() const {
    // Hidden while it shows nothing, the panel has not been laid out: it is to be as wide as
    // its parent's layout is.
    const QWidget* parent = parentWidget();
    if (isVisible() || !parent || !parent->layout())
        return contentsRect().width();
    return parent->contentsRect().marginsRemoved(parent->layout()->contentsMargins()).width();
}

void PreviewPanel::showLevel(const std::string& hostPath) {
    file_ = hostPath;
    askedWidth_ = pictureWidth();
    service_.show(hostPath, editor_.graphicsPlaces(), askedWidth_);
}

void PreviewPanel::takePreview() {
    std::optional<LevelPreviewShown> shown = service_.take();
    if (!shown)
        return;
    shown_ = std::move(*shown);
    const QImage thumbnail = toQImage(shown_.thumbnail);
    picture_->setPixmap(QPixmap::fromImage(thumbnail));
    picture_->setFixedHeight(thumbnail.height());
    QStringList facts;
    for (const std::string& line : shown_.facts)
        facts << QString::fromStdString(line);
    facts_->setText(facts.join(QLatin1Char('\n')));
    note_->setText(QString::fromStdString(shown_.note));
    note_->setToolTip(QString::fromStdString(shown_.reason));
    picture_->setVisible(!thumbnail.isNull());
    facts_->setVisible(!facts.isEmpty());
    note_->setVisible(!shown_.note.empty());
    setVisible(!shown_.file.empty());
    if (window_ && window_->isVisible())
        showInWindow();
}

void PreviewPanel::showInWindow() {
    window_->showPicture(toQImage(shown_.picture),
                         shown_.facts.empty() ? QString()
                                              : QString::fromStdString(shown_.facts.front()));
}

void PreviewPanel::openWindow() {
    if (!window_)
        window_ = new PreviewWindow(this);
    showInWindow();
    window_->openOver(window());
}

void PreviewPanel::chooseGameFolder() {
    const QString folder =
        QFileDialog::getExistingDirectory(this, QString::fromLatin1(window::kGameFolderTitle));
    if (folder.isEmpty())
        return;
    editor_.chooseGameFolder(folder.toStdString());
    service_.forgetGraphics();
    showLevel(file_);
}

void PreviewPanel::chooseDosGraphicsFolder() {
    const QString folder =
        QFileDialog::getExistingDirectory(this, QString::fromLatin1(window::kDosGraphicsTitle));
    if (folder.isEmpty())
        return;
    editor_.chooseDosGraphicsFolder(folder.toStdString());
    service_.forgetGraphics();
    showLevel(file_);
}

void PreviewPanel::mouseDoubleClickEvent(QMouseEvent* event) {
    if (picture_->geometry().contains(event->position().toPoint()) && !shown_.picture.empty())
        openWindow();
}

void PreviewPanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // A thumbnail of the new width, drawn from the set decoded already.
    if (!file_.empty() && pictureWidth() != askedWidth_)
        showLevel(file_);
}

} // namespace quillfen
