#include "window/dialogs.h"

#include "common/windows1252.h"

#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace quillfen {
namespace {

// The messages break their lines with a lone carriage return, as the game's editors did; a Qt
// label breaks only at line feeds.
QString messageText(const std::string& bytes) {
    QString text = toQt(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

bool askYesNo(QWidget* parent, QMessageBox::Icon icon, const std::string& text,
              const std::string& caption, bool yesIsDefault = true) {
    QMessageBox box(icon, toQt(caption), messageText(text), QMessageBox::Yes | QMessageBox::No,
                    parent);
    box.setDefaultButton(yesIsDefault ? QMessageBox::Yes : QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
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

void QtUserInterface::message(const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(kApplicationTitle), messageText(text),
                    QMessageBox::Ok, parent_);
    box.exec();
}

bool QtUserInterface::confirm(const std::string& text, const std::string& caption,
                              bool yesIsDefault) {
    return askYesNo(parent_, QMessageBox::Question, text, caption, yesIsDefault);
}

bool QtUserInterface::proceed(const std::string& text, const std::string& caption,
                              const std::string& accept, bool acceptIsDefault) {
    QMessageBox box(QMessageBox::Information, toQt(caption), messageText(text), QMessageBox::Cancel,
                    parent_);
    QPushButton* yes = box.addButton(toQt(accept), QMessageBox::AcceptRole);
    if (acceptIsDefault)
        box.setDefaultButton(yes);
    else
        box.setDefaultButton(QMessageBox::Cancel);
    box.exec();
    return box.clickedButton() == yes;
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
    QString answer = QInputDialog::getText(parent_, toQt(title), toQt(prompt), QLineEdit::Normal,
                                           toQt(proposed), &ok);
    if (!ok)
        return {};
    return fromQt(answer);
}

bool QtUserInterface::agree(const std::string& text, const std::string& title) {
    return askYesNo(nullptr, QMessageBox::Information, text, title);
}

} // namespace quillfen
