#include "window/window_reports.h"

#include "editor/window_menus.h"
#include "window/dialogs.h"

#include <QDialogButtonBox>
#include <QListWidget>
#include <QStatusBar>
#include <QTime>
#include <QVBoxLayout>

namespace quillfen {
namespace {

// Long enough to read a line, short enough not to hide the prefix and profile for long.
constexpr int kInformationShown = 5000;

// One line of the status bar or the list: the message's lines joined.
QString oneLine(const std::string& bytes) {
    return toQt(bytes).replace(QStringLiteral("\r\n"), QStringLiteral(" ")).replace('\r', ' ');
}

} // namespace

MessageLog::MessageLog(QWidget* parent) : QDialog(parent), list_(new QListWidget(this)) {
    setObjectName(QStringLiteral("messageLog"));
    setWindowTitle(QString::fromLatin1(window::kMessages));
    list_->setObjectName(QStringLiteral("messageList"));
    list_->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::hide);
    auto* column = new QVBoxLayout(this);
    column->addWidget(list_);
    column->addWidget(buttons);
    resize(520, 300);
}

void MessageLog::add(const QString& text) {
    list_->addItem(QTime::currentTime().toString(QStringLiteral("HH:mm:ss")) +
                   QStringLiteral("  ") + text);
    list_->scrollToBottom();
}

void WindowReports::inform(const std::string& text) {
    if (log_)
        log_->add(oneLine(text));
    if (bar_)
        bar_->showMessage(oneLine(text), kInformationShown);
}

void WindowReports::message(const std::string& text) {
    if (log_)
        log_->add(oneLine(text));
    dialogs_.message(text);
}

} // namespace quillfen
