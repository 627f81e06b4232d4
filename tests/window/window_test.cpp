// The window driven as a user drives it on a demo prefix: every user scenario through the
// window's own controls, then what the scenarios do not reach: the view following the tree in
// place, drops, the level-file browser, the dialogs' buttons, the keys of each control, and the
// rows shown at twice the scale. What the commands do to the tree and the files is the Editor's,
// and is tested with it.
#include "levelfile/make_level_file.h"
#include "levelfile/make_pack.h"
#include "preview/make_graphics.h"
#include "qt_window_driver.h"
#include "window/folder_list.h"
#include "window_test_support.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>
#include <QUrl>
#include <filesystem>
#include <fstream>
#include <sstream>

using namespace quillfen;
using namespace quillfen::testing;

namespace {

QString canonical(const std::string& path) {
    return QString::fromStdString(std::filesystem::canonical(path).string());
}

} // namespace

class WindowTest : public QObject {
    Q_OBJECT
    TempDir settings_;
    std::vector<script::Scenario> scenarios_;

private slots:
    void initTestCase() {
        // The desktop settings these tests write stay in a folder of their own.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QString::fromStdString(settings_.path().string()));
    }

    // Every user scenario, each on a fresh demo prefix that also holds a DOS level pack.
    void everyUserScenario_data() {
        QTest::addColumn<int>("index");
        std::ifstream file(QUILLFEN_SCENARIOS, std::ios::binary);
        std::ostringstream text;
        text << file.rdbuf();
        scenarios_ = script::readScenarios(text.str());
        QVERIFY(!scenarios_.empty());
        for (std::size_t i = 0; i < scenarios_.size(); ++i)
            QTest::newRow(scenarios_[i].name.c_str()) << static_cast<int>(i);
    }
    void everyUserScenario() {
        QFETCH(int, index);
        Session s("C:\\LEMM\\LEVELS");
        const std::string packs = s.ui.driveC + "/LEMM/PACKS";
        std::filesystem::create_directories(packs);
        writeBytes(packs + "/LEVEL000.DAT",
                   makePack({packLevel(1, 40, "Alpha"), packLevel(2, 50, "Beta")}));
        s.ui.defaultConfirmation = false;
        QtWindowDriver driver(s);
        for (const std::string& line : scenarios_[static_cast<std::size_t>(index)].lines) {
            const std::string failed = script::runLine(line, driver);
            QVERIFY2(
                failed.empty(),
                (line + "\n  " + failed + "\n  last message: " + driver.lastMessage()).c_str());
        }
    }

    void theViewFollowsTheTreeInPlace() {
        Session s("C:\\LEMM\\LEVELS");
        QTreeView* tree = s.tree();
        // Small enough that the open tree needs its scroll bar.
        s.form->resize(s.form->width(), s.form->minimumSizeHint().height() + 300);
        s.load();
        int resets = 0;
        connect(tree->model(), &QAbstractItemModel::modelReset, this, [&] { ++resets; });
        auto showsTheSelection = [&] {
            const QModelIndex selected = s.row(s.form->state().tree.selected()->key());
            return tree->currentIndex() == selected && tree->selectionModel()->isSelected(selected);
        };
        // A window a few rows above its least height, so that the expanded tree scrolls.
        s.form->resize(s.form->width(),
                       s.form->minimumSizeHint().height() + 4 * tree->sizeHintForRow(0));
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
        s.clickNode("level7");
        const int scrolled = tree->verticalScrollBar()->value();
        QVERIFY(scrolled > 0);
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

    void aClickAndAClickOnTheSelectedNodeReadThePanel() {
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
                                              "the game's folder with Options > Game "
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
        s.form->findChild<QAction*>(QStringLiteral("gameFolderAction"))->trigger();
        const int width = s.find<QWidget>("previewArea")->width();
        QTRY_COMPARE(picture->pixmap().size(), QSize(width, (160 * width + 792) / 1584));
        QVERIFY(!note->isVisible());
        const std::vector<unsigned char> kept = readBytes(s.work.file("profile.txt"));
        QVERIFY(std::string(kept.begin(), kept.end()).ends_with(folder.toStdString() + "\r\n"));

        s.form->findChild<QAction*>(QStringLiteral("previewAction"))->trigger();
        auto* window = s.form->findChild<QWidget*>(QStringLiteral("previewWindow"));
        QVERIFY(window && window->isVisible());
        // Centred on the main window, at the largest size the screen takes, shown checked.
        QVERIFY((window->frameGeometry().center() - s.form->frameGeometry().center())
                    .manhattanLength() <= 4);
        const int room = s.form->screen()->availableGeometry().width() * 9 / 10;
        const int size = 1584 * 2 <= room ? 1 : 1584 <= room ? 0 : 2;
        QVERIFY(
            window->findChild<QAction*>(QStringLiteral("previewSize%1").arg(size))->isChecked());
        QTRY_VERIFY(window->findChild<QLabel*>(QStringLiteral("previewWindowPicture"))->width() >=
                    std::min(room, 1584) - 40);
        QTest::keyClick(window, Qt::Key_Escape);
        QVERIFY(!window->isVisible());
        s.form->findChild<QAction*>(QStringLiteral("previewAction"))->trigger();
        window->findChild<QAction*>(QStringLiteral("previewSize0"))->trigger();
        QCOMPARE(
            window->findChild<QLabel*>(QStringLiteral("previewWindowPicture"))->pixmap().size(),
            QSize(1584, 160));
    }

    // Enter takes the report's accepting button, unless it replaces files: Cancel then.
    void theReportsDefaultIsCancelWhenItsButtonReplacesFiles() {
        QtUserInterface dialogs;
        QString pressed;
        auto pressDefault = [&] {
            QTimer::singleShot(0, this, [&] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                pressed = box->defaultButton()->text();
                box->defaultButton()->click();
            });
        };
        for (bool acceptIsDefault : {true, false}) {
            pressDefault();
            QCOMPARE(dialogs.proceed("ERROR: ...", "Import Level Pack", "Replace", acceptIsDefault),
                     acceptIsDefault);
        }
        QCOMPARE(pressed, QStringLiteral("Cancel"));
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
        // back. The file list follows.
        s.type("folderPathEdit", "/no/such/folder");
        QTest::keyClick(path, Qt::Key_Return);
        QCOMPARE(folders->path(), lemm);
        QCOMPARE(path->text(), lemm);
        QCOMPARE(s.ui.messages.size(), std::size_t{1});
        s.type("folderPathEdit", "C:\\");
        QTest::keyClick(path, Qt::Key_Return);
        QCOMPARE(folders->path(), canonical(s.demo.prefix() + "/drive_c"));
        s.type("folderPathEdit", "C:\\LEMM\\LEVELS");
        QTest::keyClick(path, Qt::Key_Return);
        QCOMPARE(list->count(), 10);

        // A file that comes shows at once, greyed with the reason as its tip and not counted when
        // it is no Windows level; one that goes leaves the list.
        const std::string other = s.demo.levels() + "/other.lvl";
        writeBytes(other, std::vector<unsigned char>(300, 1));
        QTRY_VERIFY(item("other.lvl") != nullptr);
        QTRY_VERIFY(!item("other.lvl")->toolTip().isEmpty());
        QCOMPARE(item("other.lvl")->foreground(),
                 s.form->palette().brush(QPalette::Disabled, QPalette::Text));
        QVERIFY(item("cliff.lvl")->toolTip().isEmpty());
        QCOMPARE(s.find<QLabel>("levelCountLabel")->text(), QStringLiteral("10 levels found"));
        std::filesystem::remove(other);
        QTRY_VERIFY(item("other.lvl") == nullptr);

        s.load();
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
        QTRY_COMPARE(s.rowsUnder("parent2").size(), 4);
        QCOMPARE(folders->path(), canonical(elsewhere.path().string()));
        QVERIFY(s.shown(s.rowsUnder("parent2").back().toStdString()).startsWith("Dropped B"));
    }

    // The close and the profile box's guards are the scenarios'; the prefix's is here.
    void anotherPrefixAsksAboutUnsavedEditsAndIsRemembered() {
        Session s;
        s.load();
        s.clickNode("root1");
        s.click("deleteGroupButton");
        DemoPrefix other;
        const QString prefix = QString::fromStdString(other.prefix());
        s.ui.saveChoices = {SaveChoice::Cancel};
        QVERIFY(!s.form->usePrefix(prefix));
        QVERIFY(s.form->state().tree.find("root2") != nullptr);

        // Discard: the other prefix is remembered in the settings folder, beside what an
        // earlier version kept in Qt's own place, carried over once; it is named in the status
        // bar, and its profiles fill the box, the first chosen.
        QSettings().setValue(QStringLiteral("window/geometry"), QByteArray("old"));
        QSettings().sync();
        s.ui.saveChoices = {SaveChoice::Discard};
        QVERIFY(s.form->usePrefix(prefix));
        const QSettings kept(windowSettingsPath(), QSettings::IniFormat);
        QVERIFY(kept.fileName().startsWith(QString::fromStdString(settingsFolder())));
        QCOMPARE(kept.value(QString::fromLatin1(kChosenPrefixSetting)).toString(), prefix);
        QCOMPARE(kept.value(QStringLiteral("window/geometry")).toByteArray(), QByteArray("old"));
        QVERIFY(QSettings().allKeys().isEmpty());
        QVERIFY(s.find<QLabel>("statusLabel")->text().contains(prefix));
        auto* box = s.find<QComboBox>("profileBox");
        QCOMPARE(box->count(), 4);
        QCOMPARE(box->currentText(), QStringLiteral("Alice"));
    }

    // A rename goes to the Editor in Windows-1252; the tree's keys act only in the tree, Alt with
    // a letter only on the menus, and what went well shows in the status bar and the Messages.
    void theTreeRenamesInPlaceAndTheKeysGoWhereTheyBelong() {
        Session s;
        QTreeView* tree = s.tree();
        s.load();
        // A text that has no Windows-1252 bytes is refused and the row keeps its text.
        QtWindowDriver d(s);
        QVERIFY(d.rename("level1", "Tunnel \u00BB Vision").empty());
        QVERIFY(s.form->state().tree.find("level1")->text() == "Tunnel \xBB Vision");
        QCOMPARE(s.shown("level1"), QString::fromUtf8("Tunnel \u00BB Vision"));
        QVERIFY(d.rename("level1", "Tunnel \u2192 Vision").empty());
        QCOMPARE(s.ui.messages.size(), std::size_t{1});
        QCOMPARE(s.shown("level1"), QString::fromUtf8("Tunnel \u00BB Vision"));
        // Alt+Up moves the level in the tree.
        s.clickNode("level3");
        QTest::keyClick(tree, Qt::Key_Up, Qt::AltModifier);
        QCOMPARE(s.rowsUnder("parent1"), (QStringList{"level1", "level3", "level2"}));

        // Elsewhere the keys are the control's own: Alt+Down opens the profile box's list,
        // Delete edits a text, and Alt+O opens the Options menu without typing an "o".
        s.ui.messages.clear();
        auto* profiles = s.find<QComboBox>("profileBox");
        profiles->setFocus();
        QTest::keyClick(profiles, Qt::Key_Down, Qt::AltModifier);
        QTRY_VERIFY(profiles->view()->isVisible());
        profiles->hidePopup();
        QTest::keyClick(profiles->lineEdit(), 'o', Qt::AltModifier);
        QTRY_VERIFY(s.find<QMenu>("optionsMenu")->isVisible());
        s.find<QMenu>("optionsMenu")->close();
        QTest::keyClick(profiles->lineEdit(), 'x', Qt::AltModifier);
        QCOMPARE(profiles->currentText(), QStringLiteral("Alice"));
        auto* box = s.find<QLineEdit>("levelFileEdit");
        box->setFocus();
        box->setCursorPosition(0);
        QTest::keyClick(box, Qt::Key_Delete);
        QCOMPARE(box->text(), QStringLiteral("tairs.lvl"));
        QCOMPARE(s.rowsUnder("parent1"), (QStringList{"level1", "level3", "level2"}));
        QVERIFY(s.ui.messages.empty());
        // Ctrl+S saves from anywhere, and says so without a box.
        QTest::keyClick(box, Qt::Key_S, Qt::ControlModifier);
        QVERIFY(s.ui.messages.empty());
        QVERIFY(s.form->statusBar()->currentMessage().startsWith("saved"));
        auto* log = s.find<QListWidget>("messageList");
        QVERIFY(log->item(log->count() - 1)->text().contains("saved"));

        // A slow second click only selects; a double click opens the editor.
        s.clickNode("root2");
        QTest::qWait(QApplication::doubleClickInterval() + 50);
        s.clickNode("root2");
        QTest::qWait(QApplication::doubleClickInterval() + 50);
        QVERIFY(openEditor(tree) == nullptr);
        // As the platform delivers one: press, release, double click, release.
        const QPoint middle = s.tree()->visualRect(s.row("root2")).center();
        QTest::mouseClick(s.tree()->viewport(), Qt::LeftButton, {}, middle);
        QTest::mouseDClick(s.tree()->viewport(), Qt::LeftButton, {}, middle);
        QTest::mouseRelease(s.tree()->viewport(), Qt::LeftButton, {}, middle);
        QTRY_VERIFY(openEditor(tree) != nullptr);
        QCOMPARE(openEditor(tree)->text(), QStringLiteral("QUILLFEN CLASSICS"));
    }

    // Run under Xvfb on a 1366 x 768 screen with QT_SCALE_FACTOR=2 (its own ctest entry): at
    // the first start the window fits the screen, and with a level's picture shown the counts,
    // Save Level Info and the picture with its facts are whole in it, the tree and the lists
    // still showing a row each.
    void theCountsAndThePictureShowAtTwiceTheScale() {
        if (qEnvironmentVariable("QT_SCALE_FACTOR") != QStringLiteral("2"))
            QSKIP("runs at twice the scale only");
        Session s("C:\\LEMM\\LEVELS");
        s.load();
        s.tree()->expandAll();
        s.clickNode("level1");
        QTRY_VERIFY(s.find<QLabel>("previewNote")->isVisible());
        const std::string game = s.demo.prefix() + "/drive_c/LEMM";
        writeDosGraphics(game, 0, testGraphics());
        // The desktop's own chooser cannot be answered from here.
        QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
        QTimer::singleShot(0, this, [folder = QString::fromStdString(game)] {
            auto* chooser = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(chooser);
            chooser->selectFile(folder);
            static_cast<QDialog*>(chooser)->accept();
        });
        s.form->findChild<QAction*>(QStringLiteral("gameFolderAction"))->trigger();
        auto* picture = s.find<QLabel>("previewPicture");
        QTRY_VERIFY(picture->isVisible());
        const QRect screen = s.form->screen()->availableGeometry();
        QVERIFY2(screen.height() <= 768 / 2, "run at twice the scale on a 1366 x 768 screen");
        QVERIFY(s.form->frameGeometry().height() <= screen.height());
        for (const char* name : {"lemmingsEdit", "diggersEdit", "saveLevelInfoButton",
                                 "previewPicture", "previewFacts"}) {
            auto* widget = s.find<QWidget>(name);
            const QRect at(widget->mapTo(s.form.get(), QPoint()), widget->size());
            QVERIFY2(widget->isVisible() && s.form->rect().contains(at) &&
                         widget->visibleRegion().boundingRect() == widget->rect(),
                     name);
        }
        QVERIFY(picture->width() * 2 >= screen.width());
        auto rows = [](QAbstractItemView* view) {
            return view->viewport()->height() / view->sizeHintForRow(0);
        };
        for (const char* view : {"profileTree", "folderList", "levelFileList"})
            QVERIFY2(rows(s.find<QAbstractItemView>(view)) >= 1, view);
    }
};

QTEST_MAIN(WindowTest)
#include "window_test.moc"
