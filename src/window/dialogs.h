#pragma once

#include "common/user_interface.h"

#include <QString>
#include <string>

class QWidget;

namespace quillfen {

// A text the core stores (Windows-1252 bytes: a name, a title, a folder) for a widget, and a
// widget's text for the core to store. The core's messages are UTF-8 (QString::fromStdString).
QString toQt(const std::string& bytes);
// `storable` is false when the text holds a character that has no Windows-1252 byte; `text` then
// holds it with such characters as '?'.
TextAnswer fromQt(const QString& text);

// The file and folder choosers the window opens (host paths; empty when cancelled). The
// desktop's by default; the tests answer them as they answer the questions.
class FileChoosers {
public:
    virtual ~FileChoosers() = default;
    virtual QString chooseFile(QWidget* parent, const QString& title, const QString& folder,
                               const QString& filter);
    virtual QString chooseFolder(QWidget* parent, const QString& title, const QString& folder);
};

// The questions and messages of the commands as Qt dialogs over `parent`, each with buttons
// named for what they do. The window shows information (inform) itself.
class QtUserInterface : public UserInterface, public FileChoosers {
public:
    void setParent(QWidget* parent) { parent_ = parent; }

    void message(const std::string& text) override;
    bool confirm(const std::string& text, const std::string& caption,
                 bool yesIsDefault = true) override;
    SaveChoice askToSave(const std::string& text) override;
    bool proceed(const std::string& text, const std::string& caption, const std::string& accept,
                 bool acceptIsDefault = true) override;
    TextAnswer input(const std::string& prompt, const std::string& title,
                     const std::string& proposed) override;
    bool agree(const std::string& text, const std::string& title) override;

private:
    QWidget* parent_ = nullptr;
};

} // namespace quillfen
