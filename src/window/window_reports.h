#pragma once

#include "common/user_interface.h"
#include "editor/problem_rows.h"

#include <QDialog>
#include <functional>

class QListWidget;
class QStatusBar;
class QTreeWidget;

namespace quillfen {

// View > Messages: every message of this run, information and warnings alike, each with the
// time it came.
class MessageLog : public QDialog {
    Q_OBJECT
public:
    explicit MessageLog(QWidget* parent);
    void add(const QString& text);

private:
    QListWidget* list_;
};

// View > Problems: every problem of the profile check, one a row. A click or Enter on a row
// tells `chosen` its key cell (empty for a note on the whole install).
class ProblemList : public QDialog {
    Q_OBJECT
public:
    ProblemList(QWidget* parent, std::function<void(const std::string& key)> chosen);
    void fill(const std::vector<window::ProblemRow>& rows);

private:
    QTreeWidget* list_;
};

// The UserInterface the window gives its Editor. Information shows in the status bar for a few
// seconds without stopping the user; every message goes into the Messages list; warnings and
// questions go on to `dialogs`, modal.
class WindowReports : public UserInterface {
public:
    explicit WindowReports(UserInterface& dialogs) : dialogs_(dialogs) {}
    void showIn(QStatusBar* bar, MessageLog* log) {
        bar_ = bar;
        log_ = log;
    }

    void inform(const std::string& text) override;
    void message(const std::string& text) override;
    bool agree(const std::string& text, const std::string& title) override {
        return dialogs_.agree(text, title);
    }
    bool confirm(const std::string& text, const std::string& caption,
                 bool yesIsDefault = true) override {
        return dialogs_.confirm(text, caption, yesIsDefault);
    }
    bool proceed(const std::string& text, const std::string& caption, const std::string& accept,
                 bool acceptIsDefault = true) override {
        return dialogs_.proceed(text, caption, accept, acceptIsDefault);
    }
    SaveChoice askToSave(const std::string& text) override { return dialogs_.askToSave(text); }
    TextAnswer input(const std::string& prompt, const std::string& title,
                     const std::string& proposed) override {
        return dialogs_.input(prompt, title, proposed);
    }

private:
    UserInterface& dialogs_;
    QStatusBar* bar_ = nullptr;
    MessageLog* log_ = nullptr;
};

} // namespace quillfen
