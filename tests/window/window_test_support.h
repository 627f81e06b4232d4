#pragma once

#include "profiles/profile_store.h"
#include "scripted_user_interface.h"
#include "temp_dir.h"
#include "window/dialogs.h"
#include "window/level_tree_model.h"
#include "window/main_window.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeView>
#include <algorithm>
#include <deque>
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

// The window's scripted user: answers the questions and the file and folder choosers from the
// words of a scenario's "answer" lines (window_script.h) while there are some, else as
// ScriptedUserInterface does; a chooser without a word is cancelled.
class ScriptedWindowUser : public ScriptedUserInterface, public FileChoosers {
public:
    std::deque<std::string> answers;
    // The host folder of the fixture's drive C, under which "path:" answers lie.
    std::string driveC;

    bool confirm(const std::string& text, const std::string& caption,
                 bool yesIsDefault = true) override;
    bool proceed(const std::string& text, const std::string& caption, const std::string& accept,
                 bool acceptIsDefault = true) override;
    SaveChoice askToSave(const std::string& text) override;
    TextAnswer input(const std::string& prompt, const std::string& title,
                     const std::string& proposed) override;
    QString chooseFile(QWidget*, const QString& title, const QString&, const QString&) override {
        return choose(title, false);
    }
    QString chooseFolder(QWidget*, const QString& title, const QString&) override {
        return choose(title, true);
    }

private:
    // The next word, the question noted; empty when none is left.
    std::string take(const std::string& text, const std::string& caption);
    QString choose(const QString& title, bool folder);
};

// Puts `text` into `edit` as a user's typing (or an input method) would.
inline void typeInto(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    if (text.isEmpty())
        QTest::keyClick(edit, Qt::Key_Delete);
    else if (std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 128; }))
        QTest::keyClicks(edit, text);
    else // QTest types ASCII only; an input method puts the rest in like this
        edit->insert(text);
}

// The in-place editor the tree has open, or null.
inline QLineEdit* openEditor(QTreeView* tree) {
    for (auto* editor : tree->viewport()->findChildren<QLineEdit*>())
        if (editor->isVisible())
            return editor;
    return nullptr;
}

// A MainWindow on a demo prefix, started in a fresh working folder (where its settings go) and
// shown, its tree's model checked by a QAbstractItemModelTester throughout.
struct Session {
    DemoPrefix demo;
    TempDir work;
    QString previousFolder = QDir::currentPath();
    ScriptedWindowUser ui;
    WinePrefixStore store{demo.prefix()};
    std::unique_ptr<MainWindow> form;
    std::unique_ptr<QAbstractItemModelTester> tester;

    // With a `startFolder` (a Windows path), the settings file names it.
    explicit Session(const std::string& startFolder = "");
    ~Session() { QDir::setCurrent(previousFolder); }

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
    QModelIndex row(const std::string& key) const {
        const LevelTreeNode* node = form->state().tree.find(key);
        if (node == nullptr)
            qFatal("no node %s in the tree", key.c_str());
        const QModelIndex index = static_cast<LevelTreeModel*>(tree()->model())->indexOf(node);
        tree()->scrollTo(index);
        return index;
    }
    QStringList rowsUnder(const std::string& key) const {
        auto* model = static_cast<LevelTreeModel*>(tree()->model());
        const QModelIndex parent = row(key);
        QStringList keys;
        for (int r = 0; r < model->rowCount(parent); ++r)
            keys << QString::fromStdString(model->node(model->index(r, 0, parent))->key());
        return keys;
    }
    QString shown(const std::string& key) const {
        return tree()->model()->data(row(key)).toString();
    }
    // A mouse click on the node's row.
    void clickNode(const std::string& key) const {
        const QRect place = tree()->visualRect(row(key));
        QTest::mouseClick(tree()->viewport(), Qt::LeftButton, {}, place.center());
    }
};

} // namespace quillfen::testing
