#pragma once

#include "common/windows1252.h"
#include "profiles/profile_store.h"
#include "scripted_user_interface.h"
#include "temp_dir.h"
#include "window/dialogs.h"
#include "window/folder_list.h"
#include "window/main_window.h"

#include <QAbstractItemModelTester>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTreeView>
#include <deque>
#include <memory>
#include <optional>
#include <string>

// Failed comparisons of the core's texts print them.
namespace QTest {
template <> inline char* toString(const std::string& text) {
    return qstrdup(text.c_str());
}
template <> inline char* toString(const std::vector<std::string>& texts) {
    std::string joined;
    for (const std::string& text : texts)
        joined += (joined.empty() ? "[" : ", [") + text + "]";
    return qstrdup(joined.c_str());
}
} // namespace QTest

namespace quillfen::testing {

inline const std::string kUsersKey = "SOFTWARE\\Visual Sciences\\Windows Lemmings\\Users";

// Scripted answers for the commands' questions and for the disclaimer.
class ScriptedWindowUi : public ScriptedUserInterface, public DisclaimerBox {
public:
    std::vector<Question> disclaimers;
    std::deque<bool> agreements; // when empty, Yes

    bool agree(const std::string& text, const std::string& title) override {
        disclaimers.push_back({text, title});
        const bool answer = agreements.empty() || agreements.front();
        if (!agreements.empty())
            agreements.pop_front();
        return answer;
    }
};

// A Wine-style prefix made by `quillfen-cli demo-prefix`: profiles Alice, Bob and Zoë with their
// database files under drive_c/LEMM/USERS, and level files in drive_c/LEMM/LEVELS.
struct DemoPrefix {
    TempDir dir;
    DemoPrefix();
    std::string prefix() const { return dir.file("prefix"); }
    std::string levels() const { return prefix() + "/drive_c/LEMM/LEVELS"; }
    std::string database(const std::string& file) const {
        return prefix() + "/drive_c/LEMM/USERS/" + file;
    }
};

// A fresh working folder made current for the life of the object.
struct WorkingFolder {
    TempDir dir;
    QString previous = QDir::currentPath();
    WorkingFolder() { QDir::setCurrent(QString::fromStdString(dir.path().string())); }
    ~WorkingFolder() { QDir::setCurrent(previous); }
    std::string file(const std::string& name) const { return dir.file(name); }
    const std::filesystem::path& path() const { return dir.path(); }
};

// Puts `text` into `edit` as a user's typing (or an input method) would.
void typeInto(QLineEdit* edit, const QString& text);

// A MainWindow on a demo prefix, started in a fresh working folder and shown.
struct Session {
    DemoPrefix demo;
    WorkingFolder work;
    ScriptedWindowUi ui;
    WinePrefixStore store{demo.prefix()};
    std::unique_ptr<MainWindow> form;
    std::unique_ptr<QAbstractItemModelTester> tester; // checks the tree's model throughout

    // With `settings`, a profile.txt of those bytes is put in the working folder first.
    explicit Session(const std::optional<std::string>& settings = std::nullopt);

    template <class T> T* find(const char* name) const {
        T* widget = form->findChild<T*>(QString::fromLatin1(name));
        if (widget == nullptr)
            qFatal("no control named %s", name);
        return widget;
    }
    void click(const char* button) const {
        QTest::mouseClick(find<QPushButton>(button), Qt::LeftButton);
    }
    // Opens `folder` in the folder list, as the level-file list's source.
    void open(const std::filesystem::path& folder) const {
        find<FolderList>("folderList")->setPath(QString::fromStdString(folder.string()));
    }
    // Sets the text of a text box as a user's typing would leave it.
    void type(const char* box, const QString& text) const { typeInto(find<QLineEdit>(box), text); }
    // Loads the profile shown in the profile box.
    void load() const { click("loadProfileButton"); }
    // The tree row of the node with `key`, made visible.
    QModelIndex row(const std::string& key) const;
    // A mouse click on the node with `key` in the tree.
    void clickNode(const std::string& key) const;
    // Selects the level-file list's entries with these names, the last of them current, as
    // Ctrl-clicks do.
    void selectLevelFiles(const QStringList& names) const;
    // The message shown last, as UTF-8; empty when none.
    std::string lastMessage() const {
        return ui.messages.empty() ? std::string() : windows1252ToUtf8(ui.messages.back());
    }
    // The bytes of profile.txt in the working folder.
    std::string settingsFile() const {
        auto bytes = readBytes(work.file("profile.txt"));
        return {bytes.begin(), bytes.end()};
    }
    QTreeView* tree() const { return find<QTreeView>("profileTree"); }
    // The text of a text box, and the label with the level-file count.
    QString text(const char* box) const { return find<QLineEdit>(box)->text(); }
    QString levelCount() const { return find<QLabel>("levelCountLabel")->text(); }
    // The tree's text for the node with `key`.
    QString shown(const std::string& key) const {
        return tree()->model()->data(row(key)).toString();
    }
    // Names a profile in the profile box, as typing it would.
    void choose(const QString& profile) const {
        find<QComboBox>("profileBox")->setEditText(profile);
    }
    // Picks a profile from the box's list, as the mouse or the arrow keys do.
    void pick(const QString& profile) const {
        auto* box = find<QComboBox>("profileBox");
        box->setCurrentIndex(box->findText(profile));
        emit box->activated(box->currentIndex());
    }
};

// A double click as the platform delivers one: press, release, double click, release.
void doubleClick(QWidget* widget, QPoint position);

inline std::string settingsText(const std::string& line1, const std::string& line2) {
    return line1 + "\r\n" + line2 + "\r\n";
}
// A profile.txt that starts in the demo prefix's LEVELS folder.
inline std::string levelsSettings() {
    return settingsText("C:\\LEMM\\LEVELS", kUsersKey);
}

} // namespace quillfen::testing
