#include "window/dialogs.h"

#include "common/windows1252.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace quillfen {
namespace {

// The messages break their lines with a lone carriage return, as the game's editors did; a Qt
// label breaks only at line feeds.
QString messageText(const std::string& utf8) {
    QString text = QString::fromStdString(utf8);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

// A question whose two buttons say what they do; true for `accept`.
bool ask(QWidget* parent, QMessageBox::Icon icon, const std::string& text, const QString& caption,
         const QString& accept, QMessageBox::ButtonRole acceptRole, const QString& refuse,
         bool acceptIsDefault) {
    QMessageBox box(icon, caption, messageText(text), QMessageBox::NoButton, parent);
    QPushButton* yes = box.addButton(accept, acceptRole);
    QPushButton* no = box.addButton(refuse, QMessageBox::RejectRole);
    box.setDefaultButton(acceptIsDefault ? yes : no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

} // namespace

QString toQt(const std::string& bytes) {
    return QString::fromStdString(windows1252ToUtf8(bytes));
}

TextAnswer fromQt(const QString& text) {
    if (auto bytes = utf8ToWindows1252(text.toStdString()))
        return {*bytes, true};
    return {utf16ToWindows1252Lossy(text.toStdU16String()), false};
}

QString FileChoosers::chooseFile(QWidget* parent, const QString& title, const QString& folder,
                                 const QString& filter) {
    return QFileDialog::getOpenFileName(parent, title, folder, filter);
}

QString FileChoosers::chooseFolder(QWidget* parent, const QString& title, const QString& folder) {
    return QFileDialog::getExistingDirectory(parent, title, folder);
}

void QtUserInterface::message(const std::string& text) {
    ShownMessage shown = shownMessage(text);
    QMessageBox::Icon icon = shown.kind == MessageKind::Error     ? QMessageBox::Critical
                             : shown.kind == MessageKind::Warning ? QMessageBox::Warning
                                                                  : QMessageBox::Information;
    QMessageBox box(icon, QString::fromLatin1(kApplicationTitle), messageText(shown.text),
                    QMessageBox::Ok, parent_);
    box.exec();
}

bool QtUserInterface::confirm(const std::string& text, const std::string& caption,
                              bool yesIsDefault) {
    return ask(parent_, QMessageBox::Question, text, QString::fromStdString(caption),
               QObject::tr("Yes"), QMessageBox::YesRole, QObject::tr("No"), yesIsDefault);
}

bool QtUserInterface::proceed(const std::string& text, const std::string& caption,
                              const std::string& accept, bool acceptIsDefault) {
    return ask(parent_, QMessageBox::Information, text, QString::fromStdString(caption),
               QString::fromStdString(accept), QMessageBox::AcceptRole, QObject::tr("Cancel"),
               acceptIsDefault);
}

SaveChoice QtUserInterface::askToSave(const std::string& text) {
    QMessageBox box(QMessageBox::Warning, QString::fromLatin1(kApplicationTitle), messageText(text),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent_);
    box.setDefaultButton(QMessageBox::Save);
    switch (box.exec()) {
    case QMessageBox::Save:
        return SaveChoice::Save;
    case QMessageBox::Discard:
        return SaveChoice::Discard;
    default:
        return SaveChoice::Cancel;
    }
}

TextAnswer QtUserInterface::input(const std::string& prompt, const std::string& title,
                                  const std::string& proposed) {
    bool ok = false;
    QString answer = QInputDialog::getText(parent_, QString::fromStdString(title),
                                           QString::fromStdString(prompt), QLineEdit::Normal,
                                           toQt(proposed), &ok);
    if (!ok)
        return {};
    return fromQt(answer);
}

bool QtUserInterface::agree(const std::string& text, const std::string& title) {
    // Alt+I and Alt+Q press them, as in the Win32 window.
    return ask(nullptr, QMessageBox::Information, text, QString::fromStdString(title),
               QLatin1Char('&') + QString::fromLatin1(kAgree), QMessageBox::AcceptRole,
               QLatin1Char('&') + QString::fromLatin1(kQuit), true);
}

} // namespace quillfen
