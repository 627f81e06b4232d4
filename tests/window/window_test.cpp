// The window's own part, driven as a user drives it on a demo prefix: the view following the tree
// in place, the panel, renaming and drops in the view, the level-file browser, the questions that
// reach the window, the keyboard, and the layout at twice the scale. What the commands do to the
// tree and the files is the Editor's, and is tested with it.
#include "levelfile/make_level_file.h"
#include "preview/make_graphics.h"
#include "window/folder_list.h"
#include "window_test_support.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QMimeData>
#include <QScrollBar>
#include <QSettings>
#include <QTimer>
#include <QUrl>
#include <filesystem>

using namespace quillfen;
using namespace quillfen::testing;

namespace {

QString canonical(const std::string& path) {
    return QString::fromStdString(std::filesystem::canonical(path).string());
}

// The in-place editor the tree has open, or null.
QLineEdit* openEditor(const Session& s) {
    for (auto* editor : s.tree()->viewport()->findChildren<QLineEdit*>())
        if (editor->isVisible())
            return editor;
    return nullptr;
}

// F2 on the selected node, `text` typed, Enter; the view commits once the key is handled.
void renameWithF2(const Session& s, const QString& text) {
    s.tree()->setFocus();
    QTest::keyClick(s.tree(), Qt::Key_F2);
    QLineEdit* editor = openEditor(s);
    QVERIFY(editor);
    typeInto(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_VERIFY(openEditor(s) == nullptr);
}

} // namespace

class WindowTest : public QObject {
    Q_OBJECT
    TempDir settings_;

private slots:
    void initTestCase() {
        // The desktop settings these tests write stay in a folder of their own.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QString::fromStdString(settings_.path().string()));
    }

    void theViewFollowsTheTreeInPlace() {
        Session s("C:\\LEMM\\LEVELS");
        QTreeView* tree = s.tree();
        // Small enough that the open tree needs its scroll bar.
        s.form->resize(s.form->width(), s.form->minimumSizeHint().height() + 160);
        s.load();
        int resets = 0;
        connect(tree->model(), &QAbstractItemModel::modelReset, this, [&] { ++resets; });
        auto showsTheSelection = [&] {
            const QModelIndex selected = s.row(s.form->state().tree.selected()->key());
            return tree->currentIndex() == selected && tree->selectionModel()->isSelected(selected);
        };
        tree->expandAll();
        tree->collapse(s.row("parent2"));

        // Moves keep the level selected, every branch as it was and the scroll position.
        s.clickNode("level2");
        s.click("moveUpButton");
        QCOMPARE(s.rowsUnder("parent1"), (QStringList{"level2", "level1", "level3"}));
        QCOMPARE(tree->currentIndex(), s.row("level2"));
        QVERIFY(!tree->isExpanded(s.row("parent2")));
        QVERIFY(tree->isExpanded(s.row("parent3")));
        tree->verticalScrollBar()->setValue(tree->verticalScrollBar()->maximum());
        const int scrolled = tree->verticalScrollBar()->value();
        QVERIFY(scrolled > 0);
        s.clickNode("level7");
        s.click("moveUpButton");
        QCOMPARE(tree->verticalScrollBar()->value(), scrolled);
        QCOMPARE(s.rowsUnder("parent3"), (QStringList{"level7", "level6"}));

        // A row added shows under its opened parent; deleted rows leave the others open, and
        // undo puts a row back where it was; the view shows the Editor's selection throughout.
        s.clickNode("root3");
        s.click("addSetButton");
        QCOMPARE(s.rowsUnder("root3"), QStringList{"parent6"});
        QVERIFY(tree->isExpanded(s.row("root3")));
        QVERIFY(showsTheSelection());
        // Add Group's question cancelled: the group it showed meanwhile goes again.
        s.click("addGroupButton");
        QCOMPARE(tree->model()->rowCount(), 3);
        QVERIFY(showsTheSelection());
        s.clickNode("level1");
        s.click("deleteLevelButton");
        QCOMPARE(s.rowsUnder("parent1"), (QStringList{"level2", "level3"}));
        QVERIFY(showsTheSelection());
        QVERIFY(tree->isExpanded(s.row("parent3")));
        s.form->onUndo();
        QCOMPARE(s.rowsUnder("parent1"), (QStringList{"level2", "level1", "level3"}));
        QCOMPARE(tree->currentIndex(), s.row("level1"));

        // The last of everything: the tree empties and nothing is current.
        for (const char* group : {"root1", "root2", "root3"}) {
            s.clickNode(group);
            s.click("deleteGroupButton");
        }
        QCOMPARE(tree->model()->rowCount(), 0);
        QVERIFY(!tree->currentIndex().isValid());
        QCOMPARE(resets, 0);
    }

    void aClickAndAClickOnTheSelectedNodeReadThePanelWhichSavesOnlyWhereItRead() {
        Session s("C:\\LEMM\\LEVELS");
        s.load();
        s.clickNode("level1");
        QCOMPARE(s.text("levelFileEdit"), QStringLiteral("tunnel.lvl"));
        QCOMPARE(s.text("lemmingsEdit"), QStringLiteral("40"));
        // What the user typed goes on a second click on the same node.
        s.type("lemmingsEdit", "99");
        s.type("levelFileEdit", "typed.lvl");
        s.clickNode("level1");
        QCOMPARE(s.text("lemmingsEdit"), QStringLiteral("40"));
        QCOMPARE(s.text("levelFileEdit"), QStringLiteral("tunnel.lvl"));
        // A group fills its folder's box and empties the counts; so does a load.
        s.clickNode("root2");
        QCOMPARE(s.text("groupFolderEdit"), QStringLiteral("QFEN"));
        QCOMPARE(s.text("lemmingsEdit"), QString());
        s.clickNode("level1");
        s.load();
        QCOMPARE(s.text("lemmingsEdit"), QString());

        // Save Level Info with tunnel.lvl's counts, the box pointed at gap.lvl: nothing is
        // written; its "update" reads gap.lvl's own counts, which go back as they came.
        const std::string gap = s.demo.levels() + "/gap.lvl";
        const std::vector<unsigned char> before = readBytes(gap);
        s.clickNode("level1");
        s.type("levelFileEdit", "gap.lvl");
        s.click("saveLevelInfoButton");
        QCOMPARE(readBytes(gap), before);
        s.click("updateFileButton");
        QCOMPARE(s.text("lemmingsEdit"), QStringLiteral("20"));
        s.click("saveLevelInfoButton");
        QCOMPARE(readBytes(gap), before);
    }

    // The selected level's facts, and where to point the tool until it is pointed at the game's
    // graphics (through the menu, the folder kept, and looked at afresh); then its picture at
    // the panel's width, and View > Preview at its own size.
    void theSelectedLevelShowsItsPictureOnceTheGraphicsFolderIsChosen() {
        Session s("C:\\LEMM\\LEVELS");
        s.load();
        s.clickNode("level1");
        auto* picture = s.find<QLabel>("previewPicture");
        auto* note = s.find<QLabel>("previewNote");
        QTRY_VERIFY(note->isVisible());
        QCOMPARE(note->text(), QStringLiteral("no graphics found for graphics set 0 (dirt): choose "
                                              "the game's folder with Options > Game graphics "
                                              "folder..."));
        QCOMPARE(s.find<QLabel>("previewFacts")->text(),
                 QStringLiteral("Tunnel Vision\n40 lemmings, 20 to rescue, release rate 50, 5 "
                                "minutes\ngraphics set 0 (dirt)"));
        QVERIFY(!picture->isVisible());

        // The game's files put into a folder looked in already, then chosen.
        const std::string game = s.demo.prefix() + "/drive_c/LEMM";
        writeDosGraphics(game, 0, testGraphics());
        const QString folder = QString::fromStdString(game);
        QTimer::singleShot(0, this, [folder] {
            auto* chooser = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(chooser);
            chooser->selectFile(folder);
            static_cast<QDialog*>(chooser)->accept();
        });
        s.form->findChild<QAction*>(QStringLiteral("gameGraphicsFolderAction"))->trigger();
        const int width = s.find<QWidget>("previewPanel")->width();
        QTRY_COMPARE(picture->pixmap().size(), QSize(width, (160 * width + 792) / 1584));
        QVERIFY(!note->isVisible());
        const std::vector<unsigned char> kept = readBytes(s.work.file("profile.txt"));
        QVERIFY(std::string(kept.begin(), kept.end()).ends_with(folder.toStdString() + "\r\n"));

        s.form->findChild<QAction*>(QStringLiteral("previewAction"))->trigger();
        auto* window = s.form->findChild<QWidget*>(QStringLiteral("previewWindow"));
        QVERIFY(window && window->isVisible());
        window->findChild<QAction*>(QStringLiteral("previewSize0"))->trigger();
        QCOMPARE(
            window->findChild<QLabel*>(QStringLiteral("previewWindowPicture"))->pixmap().size(),
            QSize(1584, 160));
    }

    // Enter takes the report's accepting button, unless it replaces files: Cancel then.
    void theReportsDefaultIsCancelWhenItsButtonReplacesFiles() {
        QtUserInterface dialogs;
        for (bool acceptIsDefault : {true, false}) {
            QTimer::singleShot(0, this, [] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                box->defaultButton()->click();
            });
            QCOMPARE(dialogs.proceed("ERROR: ...", "Import Level Pack", "Replace", acceptIsDefault),
                     acceptIsDefault);
        }
    }

    // The level-file list follows the folder list, and its files, other folders' files and the
    // tree's levels dropped on a set go there.
    void theLevelFileListFollowsTheFolderListAndItsFilesAndDropsGoToASet() {
        Session s("C:\\LEMM");
        auto* folders = s.find<FolderList>("folderList");
        auto* path = s.find<QLineEdit>("folderPathEdit");
        auto* list = s.find<QListWidget>("levelFileList");
        auto item = [&](const char* name) {
            const QList<QListWidgetItem*> found = list->findItems(name, Qt::MatchExactly);
            return found.isEmpty() ? nullptr : found.front();
        };
        const QString lemm = canonical(s.demo.prefix() + "/drive_c/LEMM");
        // A typed Windows path moves the folder list; a folder that is not there puts the field
        // back. One click opens a subfolder; the path field and the file list follow.
        s.type("folderPathEdit", "/no/such/folder");
        QTest::keyClick(path, Qt::Key_Return);
        QCOMPARE(folders->path(), lemm);
        QCOMPARE(path->text(), lemm);
        QCOMPARE(s.ui.messages.size(), std::size_t{1});
        s.type("folderPathEdit", "C:\\");
        QTest::keyClick(path, Qt::Key_Return);
        QCOMPARE(folders->path(), canonical(s.demo.prefix() + "/drive_c"));
        s.type("folderPathEdit", "C:\\LEMM");
        QTest::keyClick(path, Qt::Key_Return);
        QTest::mouseClick(folders->viewport(), Qt::LeftButton, {},
                          folders->visualItemRect(folders->currentItem()->child(0)).center());
        QCOMPARE(folders->path(), canonical(s.demo.levels()));
        QCOMPARE(path->text(), canonical(s.demo.levels()));
        QCOMPARE(list->count(), 10);

        // A file that comes shows at once, greyed with the reason as its tip when it is no
        // Windows level; one that goes leaves the list.
        const std::string other = s.demo.levels() + "/other.lvl";
        writeBytes(other, std::vector<unsigned char>(300, 1));
        QTRY_VERIFY(item("other.lvl") != nullptr);
        QTRY_VERIFY(!item("other.lvl")->toolTip().isEmpty());
        QCOMPARE(item("other.lvl")->foreground(),
                 s.form->palette().brush(QPalette::Disabled, QPalette::Text));
        QVERIFY(item("cliff.lvl")->toolTip().isEmpty());
        QCOMPARE(s.find<QLabel>("levelCountLabel")->text(), QStringLiteral("11 levels found"));
        std::filesystem::remove(other);
        QTRY_VERIFY(item("other.lvl") == nullptr);

        // The files Ctrl-clicked go to the selected set, in the list's order.
        s.load();
        s.clickNode("parent2");
        for (const char* name : {"spare1.lvl", "cliff.lvl"})
            QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier,
                              list->visualItemRect(item(name)).center());
        s.click("addLevelsButton");
        const QStringList added = s.rowsUnder("parent2").mid(2);
        QCOMPARE(added.size(), 2);
        QVERIFY(s.shown(added[0].toStdString()).startsWith("Cliffhanger"));
        QVERIFY(s.shown(added[1].toStdString()).startsWith("Upside Down Town"));
        QAbstractItemModel* model = s.tree()->model();
        // A level dragged to the top of its own set; not into another set.
        std::unique_ptr<QMimeData> level(model->mimeData({s.row("level3")}));
        QVERIFY(!model->canDropMimeData(level.get(), Qt::MoveAction, 0, 0, s.row("parent2")));
        QVERIFY(model->dropMimeData(level.get(), Qt::MoveAction, 0, 0, s.row("parent1")));
        QTRY_COMPARE(s.rowsUnder("parent1"), (QStringList{"level3", "level1", "level2"}));

        // Files of another folder, as a file manager drags them: the folder list moves there,
        // and they go to the set they were dropped on, not to a group.
        TempDir elsewhere;
        writeBytes(elsewhere.file("a.lvl"), makeLevelFile({}, "Dropped A"));
        writeBytes(elsewhere.file("b.lvl"), makeLevelFile({}, "Dropped B"));
        QMimeData files;
        files.setUrls({QUrl::fromLocalFile(QString::fromStdString(elsewhere.file("a.lvl"))),
                       QUrl::fromLocalFile(QString::fromStdString(elsewhere.file("b.lvl")))});
        QVERIFY(!model->canDropMimeData(&files, Qt::CopyAction, -1, 0, s.row("root1")));
        QVERIFY(model->dropMimeData(&files, Qt::CopyAction, -1, 0, s.row("parent2")));
        QTRY_COMPARE(s.rowsUnder("parent2").size(), 6);
        QCOMPARE(folders->path(), canonical(elsewhere.path().string()));
        QVERIFY(s.shown(s.rowsUnder("parent2").back().toStdString()).startsWith("Dropped B"));
    }

    void unsavedEditsAreAskedAboutWhereverTheWindowWouldLoseThem() {
        Session s;
        s.load();
        s.clickNode("root1");
        s.click("deleteGroupButton");
        QVERIFY(s.form->windowTitle().endsWith(QStringLiteral(" *")));
        const std::size_t asked = s.ui.questions.size();

        // Cancel keeps the window open, the profile box on the loaded profile, and the prefix.
        s.ui.saveChoices = {SaveChoice::Cancel, SaveChoice::Cancel, SaveChoice::Cancel};
        QVERIFY(!s.form->close());
        auto* box = s.find<QComboBox>("profileBox");
        box->setCurrentIndex(box->findText("Bob"));
        emit box->activated(box->currentIndex());
        QCOMPARE(box->currentText(), QStringLiteral("Alice"));
        DemoPrefix other;
        const QString prefix = QString::fromStdString(other.prefix());
        QVERIFY(!s.form->usePrefix(prefix));
        QCOMPARE(s.ui.questions.size(), asked + 3);
        QVERIFY(s.form->state().tree.find("root2") != nullptr);

        // Discard: the other prefix is remembered and its profiles fill the box, the first
        // chosen; with nothing left unsaved the window closes without asking.
        s.ui.saveChoices = {SaveChoice::Discard};
        QVERIFY(s.form->usePrefix(prefix));
        QCOMPARE(QSettings().value(QString::fromLatin1(kChosenPrefixSetting)).toString(), prefix);
        QCOMPARE(box->count(), 3);
        QCOMPARE(box->currentText(), QStringLiteral("Alice"));
        QVERIFY(s.form->close());
        QCOMPARE(s.ui.questions.size(), asked + 4);
    }

    // Renaming in place goes through the Editor; the tree's keys act only in the tree.
    void theTreeRenamesInPlaceAndItsKeysActOnlyInIt() {
        Session s;
        QTreeView* tree = s.tree();
        s.load();
        // The load selected the first group; a click on it now would be a slow second click.
        renameWithF2(s, "MY GROUP");
        QCOMPARE(s.shown("root1"), QStringLiteral("MY GROUP"));
        // The text goes to the Editor in Windows-1252 and comes back from it; a text that has
        // no Windows-1252 bytes is refused and the row keeps its text.
        s.clickNode("level1");
        renameWithF2(s, QString::fromUtf8("Tunnel \u00BB Vision"));
        QVERIFY(s.form->state().tree.find("level1")->text() == "Tunnel \xBB Vision");
        QCOMPARE(s.shown("level1"), QString::fromUtf8("Tunnel \u00BB Vision"));
        renameWithF2(s, QString::fromUtf8("Tunnel \u2192 Vision"));
        QCOMPARE(s.ui.messages.size(), std::size_t{1});
        QCOMPARE(s.shown("level1"), QString::fromUtf8("Tunnel \u00BB Vision"));

        tree->expandAll();
        // In the tree: Delete deletes the selected node, Alt+Up and Alt+Down move it; Ctrl+Z
        // and Ctrl+Y undo and redo.
        s.clickNode("level1");
        QTest::keyClick(tree, Qt::Key_Delete);
        QCOMPARE(s.rowsUnder("parent1"), (QStringList{"level2", "level3"}));
        s.clickNode("level3");
        QTest::keyClick(tree, Qt::Key_Up, Qt::AltModifier);
        QCOMPARE(s.rowsUnder("parent1"), (QStringList{"level3", "level2"}));
        QTest::keyClick(tree, Qt::Key_Down, Qt::AltModifier);
        QCOMPARE(s.rowsUnder("parent1"), (QStringList{"level2", "level3"}));
        QTest::keyClick(tree, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(s.rowsUnder("parent1"), (QStringList{"level3", "level2"}));
        QTest::keyClick(tree, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(s.rowsUnder("parent1"), (QStringList{"level2", "level3"}));

        // Elsewhere the keys are the control's own: Alt+Down opens the profile box's list and
        // Delete edits a text or does nothing.
        s.ui.messages.clear();
        auto* profiles = s.find<QComboBox>("profileBox");
        profiles->setFocus();
        QTest::keyClick(profiles, Qt::Key_Down, Qt::AltModifier);
        profiles->hidePopup();
        s.find<QListWidget>("levelFileList")->setFocus();
        QTest::keyClick(s.find<QListWidget>("levelFileList"), Qt::Key_Delete);
        auto* box = s.find<QLineEdit>("levelFileEdit");
        box->setFocus();
        box->setCursorPosition(0);
        QTest::keyClick(box, Qt::Key_Delete);
        QCOMPARE(box->text(), QStringLiteral("tairs.lvl"));
        QCOMPARE(s.rowsUnder("parent1"), (QStringList{"level2", "level3"}));
        QVERIFY(s.ui.messages.empty());
        // Ctrl+S saves from anywhere in the window.
        QTest::keyClick(box, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(s.ui.messages.size(), std::size_t{1});
        QVERIFY(s.ui.messages[0].starts_with("saved"));

        // A slow second click only selects; a double click opens the editor.
        s.clickNode("root2");
        QTest::qWait(QApplication::doubleClickInterval() + 50);
        s.clickNode("root2");
        QTest::qWait(QApplication::doubleClickInterval() + 50);
        QVERIFY(openEditor(s) == nullptr);
        // As the platform delivers one: press, release, double click, release.
        const QPoint middle = s.tree()->visualRect(s.row("root2")).center();
        QTest::mouseClick(s.tree()->viewport(), Qt::LeftButton, {}, middle);
        QTest::mouseDClick(s.tree()->viewport(), Qt::LeftButton, {}, middle);
        QTest::mouseRelease(s.tree()->viewport(), Qt::LeftButton, {}, middle);
        QTRY_VERIFY(openEditor(s) != nullptr);
        QCOMPARE(openEditor(s)->text(), QStringLiteral("QUILLFEN CLASSICS"));
    }

    // Run with QT_SCALE_FACTOR=2 (its own ctest entry): a 1366 x 768 screen is then 683 x 384
    // pixels of the window's, and the whole window fits it, a title bar included.
    void theWholeWindowFitsASmallScreenAtTwiceTheScale() {
        Session s;
        const QSize screen(1366 / 2, 768 / 2 - 30);
        const QSize smallest = s.form->minimumSizeHint();
        QCOMPARE(smallest.boundedTo(screen), smallest);
        s.form->resize(screen);
        QVERIFY(QTest::qWaitForWindowExposed(s.form.get()));
        const QRect window = s.form->rect();
        for (QWidget* control : s.form->centralWidget()->findChildren<QWidget*>()) {
            if (control->objectName().isEmpty() || !control->isVisible())
                continue;
            QRect r(control->mapTo(s.form.get(), QPoint(0, 0)), control->size());
            QVERIFY2(window.contains(r) && !r.isEmpty(), qPrintable(control->objectName()));
        }
    }
};

QTEST_MAIN(WindowTest)
#include "window_test.moc"
