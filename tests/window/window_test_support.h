#pragma once

#include "profiles/profile_store.h"
#include "scripted_user_interface.h"
#include "temp_dir.h"
#include "window/dialogs.h"
#include "window/main_window.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeView>
#include <memory>
#include <string>

namespace quillfen::testing {

// A Wine-style prefix made by `quillfen-cli demo-prefix`: profiles Alice, Bob and Zoë, and level
// files in drive_c/LEMM/LEVELS.
struct DemoPrefix {
    TempDir dir;
    DemoPrefix();
    std::string prefix() const { return dir.file("prefix"); }
    std::string levels() const { return prefix() + "/drive_c/LEMM/LEVELS"; }
};

// Puts `text` into `edit` as a user's typing (or an input method) would.
void typeInto(QLineEdit* edit, const QString& text);

// A MainWindow on a demo prefix, started in a fresh working folder (its settings file's) and
// shown, its tree's model checked by a QAbstractItemModelTester throughout.
struct Session {
    DemoPrefix demo;
    TempDir work;
    QString previousFolder = QDir::currentPath();
    ScriptedUserInterface ui;
    WinePrefixStore store{demo.prefix()};
    std::unique_ptr<MainWindow> form;
    std::unique_ptr<QAbstractItemModelTester> tester;

    // With a `startFolder` (a Windows path), the settings file names it.
    explicit Session(const std::string& startFolder = "");
    ~Session();

    template <class T> T* find(const char* name) const {
        T* widget = form->findChild<T*>(QString::fromLatin1(name));
        if (widget == nullptr)
            qFatal("no control named %s", name);
        return widget;
    }
    void click(const char* button) const {
        QTest::mouseClick(find<QPushButton>(button), Qt::LeftButton);
    }
    void load() const { click("loadProfileButton"); }
    QTreeView* tree() const { return find<QTreeView>("profileTree"); }
    QString text(const char* box) const { return find<QLineEdit>(box)->text(); }
    void type(const char* box, const QString& text) const { typeInto(find<QLineEdit>(box), text); }

    // The view's row of the node with `key`, scrolled into sight; the keys of the rows the view
    // shows under it; its text.
    QModelIndex row(const std::string& key) const;
    QStringList rowsUnder(const std::string& key) const;
    QString shown(const std::string& key) const {
        return tree()->model()->data(row(key)).toString();
    }
    // A mouse click on the node's row.
    void clickNode(const std::string& key) const;
};

} // namespace quillfen::testing
