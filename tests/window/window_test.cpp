// The window driven as a user drives it: start-up and the settings file, the layout and the menus,
// the level-file browser, the detail panel, Load and Save against a demo prefix, and editing from
// load to the saved file's bytes, in place and from the keyboard.
#include "database/database_format.h"
#include "levelfile/make_level_file.h"
#include "levelfile/make_pack.h"
#include "profiles/profile_commands.h"
#include "window/folder_list.h"
#include "window_test_support.h"

#include <QAction>
#include <QComboBox>
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QTreeView>
#include <QTreeWidget>
#include <QUrl>
#include <filesystem>
#include <fstream>

using namespace quillfen;
using namespace quillfen::testing;

namespace {

QString canonical(const std::string& path) {
    return QString::fromStdString(std::filesystem::canonical(path).string());
}

QStringList profileBox(const Session& s) {
    QStringList names;
    auto* box = s.find<QComboBox>("profileBox");
    for (int i = 0; i < box->count(); ++i)
        names << box->itemText(i);
    return names;
}

QStringList entries(const Session& s) {
    QStringList names;
    auto* list = s.find<QListWidget>("levelFileList");
    for (int i = 0; i < list->count(); ++i)
        names << list->item(i)->text();
    return names;
}

constexpr const char* kCountBoxes[] = {"lemmingsEdit", "climbersEdit", "floatersEdit",
                                       "bombersEdit",  "blockersEdit", "buildersEdit",
                                       "bashersEdit",  "minersEdit",   "diggersEdit"};
const QStringList kTunnel = {"40", "2", "2", "0", "1", "10", "3", "0", "2"};

QStringList counts(const Session& s) {
    QStringList texts;
    for (const char* box : kCountBoxes)
        texts << s.text(box);
    return texts;
}

void typeCounts(const Session& s, const QStringList& texts) {
    for (std::size_t i = 0; i < std::size(kCountBoxes); ++i)
        s.type(kCountBoxes[i], texts[static_cast<int>(i)]);
}

// Counts the progress bar's paints while a load or save runs, and whether `button` was usable at
// any of them.
struct PaintWatch : QObject {
    PaintWatch(QWidget* bar, QWidget* button) : button(button) { bar->installEventFilter(this); }
    QWidget* button;
    int paints = 0;
    bool buttonEnabledDuringPaint = false;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            buttonEnabledDuringPaint |= ++paints && button->isEnabled();
        return false;
    }
};

std::string selectedKey(const Session& s) {
    const LevelTreeNode* node = s.form->state().tree.selected();
    return node ? node->key() : std::string();
}

std::vector<std::string> childKeys(const Session& s, const std::string& key) {
    std::vector<std::string> keys;
    const LevelTreeNode* node = s.form->state().tree.find(key);
    for (int i = 0; i < node->children(); ++i)
        keys.push_back(node->child(i)->key());
    return keys;
}

// Double-clicks the entry of the folder list's current folder named `name`.
void openSubfolder(const Session& s, const QString& name) {
    auto* folders = s.find<FolderList>("folderList");
    for (int i = 0; i < folders->currentItem()->childCount(); ++i)
        if (QTreeWidgetItem* child = folders->currentItem()->child(i); child->text(0) == name)
            return doubleClick(folders->viewport(), folders->visualItemRect(child).center());
    qFatal("no folder %s below %s", qPrintable(name), qPrintable(folders->path()));
}

// The in-place editor the tree has open, or null.
QLineEdit* editorOf(const Session& s) {
    for (auto* editor : s.tree()->viewport()->findChildren<QLineEdit*>())
        if (editor->isVisible())
            return editor;
    return nullptr;
}

// F2, then `text` typed into the editor, then Enter; the view commits the text once the key has
// been handled.
void renameWithF2(const Session& s, const QString& text) {
    s.tree()->setFocus();
    QTest::keyClick(s.tree(), Qt::Key_F2);
    QLineEdit* editor = editorOf(s);
    QVERIFY(editor);
    typeInto(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_VERIFY(editorOf(s) == nullptr);
}

// The record of the saved file at `record`.
std::span<const unsigned char> recordOf(const std::vector<unsigned char>& file,
                                        std::size_t record) {
    return std::span(file).subspan(format::recordOffset(record), format::kRecordSize);
}

// A text field of a record: the text, then zero bytes to the field's end.
std::vector<unsigned char> field(const std::string& text, std::size_t width) {
    std::vector<unsigned char> bytes(text.begin(), text.end());
    bytes.resize(width, 0);
    return bytes;
}

std::vector<unsigned char> bytesAt(std::span<const unsigned char> record, std::size_t offset,
                                   std::size_t width) {
    auto part = record.subspan(offset, width);
    return {part.begin(), part.end()};
}

} // namespace

// Takes the file URLs that the window asks the desktop to open.
class OpenedUrls : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
    OpenedUrls() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open"); }
    ~OpenedUrls() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
public slots:
    void open(const QUrl& url) { urls.append(url); }
};

class WindowTest : public QObject {
    Q_OBJECT
    TempDir settings_;
private slots:

    void startsWithAndWithoutASettingsFile() {
        {
            Session s;
            QCOMPARE(s.ui.disclaimers.size(), std::size_t{1});
            QCOMPARE(s.ui.disclaimers[0].caption,
                     std::string("disclaimer - by clicking 'yes' you agree"));
            QCOMPARE(s.ui.disclaimers[0].text, std::string(kDisclaimer));
            QCOMPARE(s.settingsFile(), "c:\r\n" + kUsersKey + "\r\n");
            QCOMPARE(s.find<FolderList>("folderList")->path(),
                     canonical(s.demo.prefix() + "/drive_c"));
            QCOMPARE(s.form->state().usersKeyPath, kUsersKey);
            QCOMPARE(profileBox(s), (QStringList{"Alice", "Bob", QString::fromUtf8("Zo\u00EB")}));
            QCOMPARE(s.find<QComboBox>("profileBox")->currentText(), QStringLiteral("Alice"));
            QCOMPARE(s.form->windowTitle(),
                     QStringLiteral("Quillfen Level Adder - www.quillfen.example (v4)"));
            QVERIFY(s.ui.messages.empty());
        }
        {
            const std::string settings = settingsText("C:\\lemm\\levels", kUsersKey);
            Session s(settings);
            QCOMPARE(s.find<FolderList>("folderList")->path(), canonical(s.demo.levels()));
            QCOMPARE(s.find<QLabel>("levelCountLabel")->text(), QStringLiteral("10 levels found"));
            QCOMPARE(s.settingsFile(), settings);
        }
        {
            const std::string settings = settingsText("c:", "SOFTWARE\\Nobody");
            Session s(settings);
            QCOMPARE(s.ui.messages, std::vector<std::string>{kNoProfiles});
            QCOMPARE(s.find<QComboBox>("profileBox")->count(), 0);
            QCOMPARE(s.find<QComboBox>("profileBox")->currentText(), QString());
        }
    }

    void declinedDisclaimerEndsBeforeAnythingIsWritten() {
        DemoPrefix demo;
        WorkingFolder work;
        ScriptedWindowUi ui;
        ui.agreements = {false};
        WinePrefixStore store(demo.prefix());
        MainWindow form(store, ui, ui);
        QVERIFY(!form.start());
        QVERIFY(!form.isVisible());
        QVERIFY(std::filesystem::is_empty(work.path()));
        QVERIFY(ui.messages.empty());
        QCOMPARE(form.findChild<QComboBox*>("profileBox")->count(), 0);
    }

    void controlsKeepTheirRowsAndTheTreeAndListsTakeTheRoom() {
        Session s;
        s.form->show();
        // Rows top to bottom, each left to right, as the game's editor had them.
        const std::vector<std::vector<const char*>> rows = {
            {"profileLabel", "profileBox", "loadProfileButton"},
            {"folderLabel", "folderPathEdit", "browseFolderButton"},
            {"folderList", "levelFileList"},
            {"levelCountLabel", "deleteLevelButton", "addLevelsButton"},
            {"profileTree"},
            {"addGroupButton", "deleteGroupButton", "moveUpButton", "moveDownButton",
             "addSetButton", "deleteSetButton"},
            {"groupFolderEdit", "updateFolderButton", "nodeInfoButton", "levelFileEdit",
             "updateFileButton"},
            {"saveProfileButton"},
            {"lemmingsEdit", "climbersEdit", "floatersEdit", "bombersEdit", "blockersEdit",
             "buildersEdit", "bashersEdit", "minersEdit", "diggersEdit", "saveLevelInfoButton"},
            {"progressBar"}};
        auto place = [&](const char* name) {
            QWidget* w = s.find<QWidget>(name);
            return QRect(w->mapTo(s.form.get(), QPoint(0, 0)), w->size());
        };
        int bottom = 0;
        for (const auto& line : rows) {
            int right = 0;
            for (const char* name : line) {
                QRect r = place(name);
                QVERIFY2(r.top() >= bottom, name);
                QVERIFY2(r.left() >= right, name);
                right = r.right();
            }
            for (const char* name : line)
                bottom = std::max(bottom, place(name).bottom());
        }
        // Every count box has its name above it.
        QCOMPARE(s.find<QLabel>("diggersEditLabel")->text(), QStringLiteral("diggers"));
        QCOMPARE(s.find<QLabel>("lemmingsEditLabel")->buddy(), s.find<QWidget>("lemmingsEdit"));

        const QSize tree = s.tree()->size();
        const QSize files = s.find<QWidget>("levelFileList")->size();
        s.form->resize(s.form->width() + 200, s.form->height() + 200);
        QTRY_VERIFY(s.tree()->width() >= tree.width() + 200);
        QVERIFY(s.tree()->height() > tree.height());
        QVERIFY(s.find<QWidget>("levelFileList")->height() > files.height());
        QVERIFY(s.find<QWidget>("levelFileList")->width() > files.width());
    }

    // Run with QT_SCALE_FACTOR=2 (its own ctest entry): a 1366 x 768 screen is then 683 x 384
    // pixels of the window's, and the whole window fits it, a title bar included.
    void theWholeWindowFitsASmallScreenAtTwiceTheScale() {
        Session s;
        const QSize screen(1366 / 2, 768 / 2 - 30);
        const QSize smallest = s.form->minimumSizeHint();
        QVERIFY2(
            smallest.width() <= screen.width() && smallest.height() <= screen.height(),
            qPrintable(QStringLiteral("%1 x %2").arg(smallest.width()).arg(smallest.height())));
        s.form->resize(screen);
        s.form->show();
        QVERIFY(QTest::qWaitForWindowExposed(s.form.get()));
        const QRect window = s.form->rect();
        for (QWidget* control : s.form->centralWidget()->findChildren<QWidget*>()) {
            if (control->objectName().isEmpty() || !control->isVisible())
                continue;
            QRect r(control->mapTo(s.form.get(), QPoint(0, 0)), control->size());
            QVERIFY2(window.contains(r) && !r.isEmpty(), qPrintable(control->objectName()));
        }
    }

    void theMenusSetTheStartupFolderAndTheKeyAndPointToTheReadme() {
        Session s(levelsSettings());
        auto* options = s.form->findChild<QMenu*>("optionsMenu");
        QVERIFY(options);
        QCOMPARE(options->title(), QStringLiteral("Options"));
        auto* startup = s.form->findChild<QAction*>("setStartupFolderAction");
        auto* key = s.form->findChild<QAction*>("usersKeyAction");
        auto* help = s.form->findChild<QAction*>("helpAction");
        QCOMPARE(options->actions().mid(0, 2), (QList<QAction*>{startup, key}));
        QCOMPARE(startup->text(), QStringLiteral("Set Startup Folder"));
        QCOMPARE(key->text(), QStringLiteral("Lemmings REG key"));
        QCOMPARE(help->text(), QStringLiteral("Help"));
        QVERIFY(help->menu() == nullptr); // on the menu bar itself

        // The readme beside the program opens in the desktop's browser.
        OpenedUrls opened;
        help->trigger();
        QVERIFY(s.ui.messages.empty());
        QCOMPARE(opened.urls.size(), 1);
        QVERIFY(opened.urls.front().toLocalFile().endsWith(QStringLiteral("/readme.html")));

        // Set Startup Folder stores the folder list's folder; the next start opens there.
        s.open(s.demo.prefix() + "/drive_c/LEMM");
        startup->trigger();
        const QString folder = canonical(s.demo.prefix() + "/drive_c/LEMM");
        QCOMPARE(QString::fromStdString(s.lastMessage()),
                 "Startup folder has been set to '" + folder + "'");
        QCOMPARE(s.settingsFile(), folder.toStdString() + "\r\n" + kUsersKey + "\r\n");
        MainWindow again(s.store, s.ui, s.ui);
        QVERIFY(again.start());
        QCOMPARE(again.findChild<FolderList*>("folderList")->path(), folder);

        // The REG key: the box is refilled with no profile chosen.
        const std::string before = s.settingsFile();
        s.ui.inputs = {{kUsersKey, true}};
        key->trigger();
        QCOMPARE(s.ui.questions.back().text,
                 std::string(
                     "enter the path to the lemmings profiles under the HKEY_LOCAL_MACHINE key"));
        QCOMPARE(s.ui.questions.back().caption, std::string("key"));
        QCOMPARE(profileBox(s).size(), 3);
        QCOMPARE(s.find<QComboBox>("profileBox")->currentIndex(), -1);
        QCOMPARE(s.find<QComboBox>("profileBox")->currentText(), QString());
        QCOMPARE(s.settingsFile(), before);

        // A key without profiles warns, empties the box and is stored all the same.
        s.ui.inputs = {{"SOFTWARE\\Nobody", true}};
        key->trigger();
        QCOMPARE(s.lastMessage(), std::string(kNoProfiles));
        QCOMPARE(s.find<QComboBox>("profileBox")->count(), 0);
        QCOMPARE(s.form->state().usersKeyPath, std::string("SOFTWARE\\Nobody"));
        QCOMPARE(s.settingsFile(), folder.toStdString() + "\r\nSOFTWARE\\Nobody\r\n");

        // A missing settings file is written anew with the default first line.
        std::filesystem::remove(s.work.file("profile.txt"));
        s.ui.inputs = {{"SOFTWARE\\Other", true}};
        key->trigger();
        QCOMPARE(s.settingsFile(), std::string("c:\r\nSOFTWARE\\Other\r\n"));
    }

    void theCountAndTheListShowTheOrdinaryLevelFiles() {
        Session s;
        TempDir dir, one, none;
        for (const char* name :
             {"b.lvl", "A.LVL", "c.Lvl", ".hidden.lvl", "notes.txt", "x.lvl.bak"})
            std::ofstream(dir.path() / name, std::ios::binary) << "x";
        std::filesystem::create_directory(dir.path() / "folder.lvl");
        std::ofstream(one.path() / "only.lvl", std::ios::binary) << "x";
        s.open(dir.path());
        QCOMPARE(s.levelCount(), QStringLiteral("3 levels found"));
        QCOMPARE(entries(s), (QStringList{"A.LVL", "b.lvl", "c.Lvl"}));
        // No singular, and none is counted like any other number.
        s.open(one.path());
        QCOMPARE(s.levelCount(), QStringLiteral("1 levels found"));
        QCOMPARE(entries(s), QStringList{"only.lvl"});
        s.open(none.path());
        QCOMPARE(s.levelCount(), QStringLiteral("0 levels found"));
        QVERIFY(entries(s).isEmpty());
    }

    void theFolderListOpensFoldersAndTheFileListSelectsSeveral() {
        Session s(settingsText("C:\\LEMM", kUsersKey));
        auto* folders = s.find<FolderList>("folderList");
        QCOMPARE(folders->currentItem()->text(0), QStringLiteral("LEMM"));
        QCOMPARE(s.levelCount(), QStringLiteral("0 levels found"));

        // The open folders lead from the root down to the current one; its subfolders hang below.
        QCOMPARE(folders->topLevelItem(0)->text(0), QStringLiteral("/"));
        QStringList below;
        for (int i = 0; i < folders->currentItem()->childCount(); ++i)
            below << folders->currentItem()->child(i)->text(0);
        QCOMPARE(below, (QStringList{"LEVELS", "USERS"}));

        // One click opens a folder, as in a file manager.
        const QPoint levels = folders->visualItemRect(folders->currentItem()->child(0)).center();
        QTest::mouseClick(folders->viewport(), Qt::LeftButton, {}, levels);
        const QString levelsPath =
            QString::fromStdString(std::filesystem::canonical(s.demo.levels()).string());
        QCOMPARE(folders->path(), levelsPath);
        QCOMPARE(s.levelCount(), QStringLiteral("10 levels found"));
        QCOMPARE(s.find<QLineEdit>("folderPathEdit")->text(), levelsPath);

        // A typed Windows path goes through the prefix's drives; a file that comes or goes
        // shows at once.
        s.type("folderPathEdit", "C:\\LEMM");
        QTest::keyClick(s.find<QLineEdit>("folderPathEdit"), Qt::Key_Return);
        QCOMPARE(folders->currentItem()->text(0), QStringLiteral("LEMM"));
        s.type("folderPathEdit", "c:\\lemm\\levels");
        QTest::keyClick(s.find<QLineEdit>("folderPathEdit"), Qt::Key_Return);
        QCOMPARE(folders->path(), levelsPath);
        writeBytes(s.demo.levels() + "/new.lvl", std::vector<unsigned char>(2048, 0));
        QTRY_COMPARE(s.levelCount(), QStringLiteral("11 levels found"));
        std::filesystem::remove(s.demo.levels() + "/new.lvl");
        QTRY_COMPARE(s.levelCount(), QStringLiteral("10 levels found"));
        s.type("folderPathEdit", "/no/such/folder");
        QTest::keyClick(s.find<QLineEdit>("folderPathEdit"), Qt::Key_Return);
        QCOMPARE(s.lastMessage(), std::string("WARNING: /no/such/folder is not a folder"));
        QCOMPARE(folders->path(), levelsPath);

        // Ctrl-clicks select several, the last clicked current; Shift-click takes a range.
        auto* list = s.find<QListWidget>("levelFileList");
        s.selectLevelFiles({"gap.lvl", "dig.lvl", "cliff.lvl"});
        QCOMPARE(list->selectedItems().size(), 3);
        QCOMPARE(list->currentItem()->text(), QStringLiteral("cliff.lvl"));
        auto place = [&](const char* name) {
            return list->visualItemRect(list->findItems(name, Qt::MatchExactly).front()).center();
        };
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, place("cliff.lvl"));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ShiftModifier, place("float.lvl"));
        QStringList selected;
        for (QListWidgetItem* item : list->selectedItems())
            selected << item->text();
        selected.sort();
        QCOMPARE(selected, (QStringList{"cliff.lvl", "dig.lvl", "float.lvl"}));

        // Back up with the keyboard: the parent folder stands just above the current one.
        folders->setFocus();
        QTest::keyClick(folders, Qt::Key_Up);
        QTest::keyClick(folders, Qt::Key_Return);
        QCOMPARE(folders->currentItem()->text(0), QStringLiteral("LEMM"));
        QCOMPARE(s.levelCount(), QStringLiteral("0 levels found"));
    }

    void infoDescribesTheSelectedNode() {
        Session s;
        s.click("nodeInfoButton");
        QCOMPARE(s.lastMessage(), std::string("you have to load up a profile first"));
        s.load();
        s.click("nodeInfoButton");
        QCOMPARE(s.lastMessage(), std::string("CUSTOM LEVELS 1 root1 - 16"));
        s.clickNode("level2");
        s.click("nodeInfoButton");
        QCOMPARE(s.lastMessage(), std::string("Mind the Gap 4 level2 - 16"));
    }

    void treeClicksAndKeysFillThePanelFromTheFolderListsFolder() {
        Session s(levelsSettings());
        s.load();
        s.clickNode("level6");
        QCOMPARE(s.text("levelFileEdit"), QStringLiteral("dig.lvl"));
        QCOMPARE(s.text("groupFolderEdit"), QString());
        QCOMPARE(counts(s), (QStringList{"80", "0", "0", "5", "0", "0", "0", "5", "20"}));
        s.clickNode("level1");
        QCOMPARE(s.text("levelFileEdit"), QStringLiteral("tunnel.lvl"));
        QCOMPARE(counts(s), kTunnel);
        // A group shows its folder, a set nothing; the counts of the level before stay.
        s.clickNode("root2");
        QCOMPARE(s.text("groupFolderEdit"), QStringLiteral("QFEN"));
        QCOMPARE(s.text("levelFileEdit"), QString());
        QCOMPARE(counts(s), kTunnel);
        s.clickNode("parent3");
        QCOMPARE(s.text("groupFolderEdit"), QString());
        QCOMPARE(s.text("levelFileEdit"), QString());
        QCOMPARE(counts(s), kTunnel);

        // A second click on the same level reads the file again.
        s.clickNode("level1");
        s.type("lemmingsEdit", "99");
        s.type("levelFileEdit", "typed.lvl");
        s.clickNode("level1");
        QCOMPARE(s.text("lemmingsEdit"), QStringLiteral("40"));
        QCOMPARE(s.text("levelFileEdit"), QStringLiteral("tunnel.lvl"));

        // The keyboard moves the selection as clicks do.
        auto* tree = s.tree();
        tree->setFocus();
        QTest::keyClick(tree, Qt::Key_Down);
        QCOMPARE(s.form->state().tree.selected()->key(), std::string("level2"));
        QCOMPARE(s.text("levelFileEdit"), QStringLiteral("gap.lvl"));
        QCOMPARE(s.text("lemmingsEdit"), QStringLiteral("20"));

        // The file is looked for in the folder list's folder.
        TempDir other;
        s.open(other.path());
        s.clickNode("level1");
        QCOMPARE(counts(s), QStringList(9, QString()));
        QVERIFY(s.ui.messages.empty());
    }

    void saveLevelInfoWritesTheNineBytesOnDisk() {
        Session s(levelsSettings());
        s.load();
        const std::string file = s.demo.levels() + "/tunnel.lvl";
        const auto before = readBytes(file);
        s.clickNode("level1");

        typeCounts(s, {"80", "2", "0", "0", "4", "10", "0", "0", "10"});
        s.click("saveLevelInfoButton");
        QCOMPARE(s.lastMessage(), std::string("Level info saved"));
        auto expected = before;
        const std::size_t offsets[] = {3, 9, 11, 13, 15, 17, 19, 21, 23};
        const unsigned char written[] = {80, 2, 0, 0, 4, 10, 0, 0, 10};
        for (std::size_t i = 0; i < std::size(offsets); ++i)
            expected[offsets[i]] = written[i];
        QCOMPARE(readBytes(file), expected);
        s.clickNode("level2");
        s.clickNode("level1");
        QCOMPARE(counts(s), (QStringList{"80", "2", "0", "0", "4", "10", "0", "0", "10"}));

        // The name typed in the box is written to, whatever is selected, in the host's spelling.
        TempDir other;
        writeBytes(other.file("caf\u00E9.lvl"), before);
        s.open(other.path());
        s.clickNode("root1");
        s.type("levelFileEdit", QString::fromUtf8("caf\u00E9.lvl"));
        typeCounts(s, {"255", "1", "1", "1", "1", "1", "1", "1", "1"});
        s.click("saveLevelInfoButton");
        QCOMPARE(s.lastMessage(), std::string("Level info saved"));
        QCOMPARE(readBytes(other.file("caf\u00E9.lvl"))[3], 255);
    }

    void loadFillsTheTreeAndARefusedLoadKeepsIt() {
        Session s;
        auto* tree = s.tree();
        auto* button = s.find<QPushButton>("loadProfileButton");
        PaintWatch watch(s.find<QProgressBar>("progressBar"), button);
        s.load();
        QVERIFY(s.ui.messages.empty());
        QCOMPARE(s.form->state().tree.count(), 16);
        QCOMPARE(tree->model()->rowCount(), 3);
        QCOMPARE(tree->model()->data(tree->model()->index(1, 0)).toString(),
                 QStringLiteral("QUILLFEN CLASSICS"));
        QCOMPARE(s.form->state().tree.selected()->key(), std::string("root1"));
        QCOMPARE(tree->currentIndex(), s.row("root1"));
        QVERIFY(tree->selectionModel()->isSelected(s.row("root1")));
        // The bar was drawn as the load went, while the button could not start another; a load
        // that takes milliseconds draws it only at its start and end steps, not at every step.
        QVERIFY(watch.paints > 0);
        QVERIFY(watch.paints <= 6);
        QVERIFY(!watch.buttonEnabledDuringPaint);
        QVERIFY(button->isEnabled());
        QCOMPARE(s.find<QProgressBar>("progressBar")->value(), 0);

        // Another profile replaces the tree; names are shown from Windows-1252.
        s.clickNode("level5");
        s.choose("Bob");
        s.load();
        QCOMPARE(s.form->state().tree.count(), 15);
        QCOMPARE(tree->model()->rowCount(), 2);
        QCOMPARE(s.form->state().tree.selected()->key(), std::string("root1"));
        s.choose(QString::fromUtf8("Zo\u00EB"));
        s.load();
        QVERIFY(s.ui.messages.empty());
        QCOMPARE(tree->model()->data(s.row("parent1")).toString(),
                 QString::fromUtf8("ZO\u00CB'S SET"));
        const int zoe = s.form->state().tree.count();

        // A refused load keeps the tree.
        s.choose("Nobody");
        s.load();
        QCOMPARE(s.ui.messages.size(), std::size_t{2});
        QCOMPARE(s.form->state().tree.count(), zoe);
        QVERIFY(button->isEnabled());
    }

    void saveWritesIntoTheProfileTheBoxNamesAndKeepsABackup() {
        Session s;
        const std::string alice = s.demo.database("ALICE.DAT");
        const auto original = readBytes(alice);
        const auto bob = readBytes(s.demo.database("BOB.DAT"));
        s.click("saveProfileButton");
        QCOMPARE(s.ui.messages, std::vector<std::string>{"you have to load up a profile first"});
        QVERIFY(!std::filesystem::exists(alice + "_backup"));

        s.load();
        PaintWatch watch(s.find<QProgressBar>("progressBar"),
                         s.find<QPushButton>("saveProfileButton"));
        s.click("saveProfileButton");
        QCOMPARE(
            s.lastMessage(),
            std::string("saved\nthe profile 'Alice' was written to C:\\LEMM\\USERS\\ALICE.DAT"));
        QVERIFY(watch.paints > 0);
        QCOMPARE(s.find<QProgressBar>("progressBar")->value(), 0);
        // Nothing was changed, so the file is written again as it was.
        QCOMPARE(readBytes(alice), original);
        QCOMPARE(readBytes(alice + "_backup"), original);

        // The loaded tree goes into the profile the box names only when the user says so: No,
        // which Enter would press, leaves Bob's file as it was.
        s.choose("Bob");
        s.ui.confirmations = {false};
        s.click("saveProfileButton");
        QCOMPARE(s.ui.questions.back().text,
                 std::string("The tree was loaded from the profile 'Alice'. Save it into the "
                             "profile 'Bob' (C:\\LEMM\\USERS\\BOB.DAT), replacing its levels?"));
        QCOMPARE(readBytes(s.demo.database("BOB.DAT")), bob);
        QVERIFY(!std::filesystem::exists(s.demo.database("BOB.DAT_backup")));
        s.click("saveProfileButton");
        QVERIFY(s.lastMessage().starts_with("saved\nthe profile 'Bob'"));
        QCOMPARE(readBytes(s.demo.database("BOB.DAT")), original);
        QCOMPARE(readBytes(s.demo.database("BOB.DAT_backup")), bob);

        // Another program writes Bob's file: the next save asks before replacing it.
        writeBytes(s.demo.database("BOB.DAT"), bob);
        s.ui.confirmations = {false};
        s.click("saveProfileButton");
        QVERIFY(s.ui.questions.back().text.find("was changed on disk") != std::string::npos);
        QCOMPARE(readBytes(s.demo.database("BOB.DAT")), bob);
    }

    void aTreeNeverLoadedIsNotSavedOverAProfileUnasked() {
        Session s;
        const auto alice = readBytes(s.demo.database("ALICE.DAT"));
        s.click("addGroupButton"); // Add Group, its folder question cancelled
        QVERIFY(s.form->windowTitle().endsWith(QStringLiteral(" *")));
        s.ui.confirmations = {false};
        QTest::keyClick(s.form.get(), Qt::Key_S, Qt::ControlModifier);
        QVERIFY(s.ui.questions.back().text.find(
                    "replacing Alice's 3 groups, 5 sets and 8 levels?") != std::string::npos);
        QCOMPARE(readBytes(s.demo.database("ALICE.DAT")), alice);
        QVERIFY(!std::filesystem::exists(s.demo.database("ALICE.DAT_backup")));
    }

    void unsavedEditsAreAskedAboutAndCanBeUndone() {
        Session s;
        s.load();
        auto* undo = s.form->findChild<QAction*>(QStringLiteral("undoAction"));
        QVERIFY(!undo->isEnabled());
        s.clickNode("root1");
        s.ui.confirmations = {true};
        s.click("deleteGroupButton");
        // The panel shows the group that took the deleted one's place, so "update" acts on it.
        QCOMPARE(selectedKey(s), std::string("root2"));
        QCOMPARE(s.find<QLineEdit>("groupFolderEdit")->text(), QStringLiteral("QFEN"));
        QVERIFY(s.form->windowTitle().endsWith(QStringLiteral(" *")));
        QCOMPARE(undo->text(), QStringLiteral("Undo Delete Group"));

        // Closing asks; Cancel keeps the window and the edits.
        s.form->show();
        s.ui.saveChoices = {SaveChoice::Cancel};
        QVERIFY(!s.form->close());
        QCOMPARE(s.ui.questions.back().text, std::string("Save changes to the profile 'Alice'?"));
        QCOMPARE(s.form->state().tree.find("root1"), nullptr);
        // Picking another profile asks too; Cancel puts the box back.
        s.ui.saveChoices = {SaveChoice::Cancel};
        s.pick("Bob");
        QCOMPARE(s.find<QComboBox>("profileBox")->currentText(), QStringLiteral("Alice"));

        // Ctrl+Z puts the group back with its sets, levels and folder, and selects it.
        QTest::keyClick(s.tree(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(s.form->state().tree.find("root1")->index(), 1);
        QCOMPARE(selectedKey(s), std::string("root1"));
        QCOMPARE(s.find<QLineEdit>("groupFolderEdit")->text(), QStringLiteral("CUST"));
        QVERIFY(!s.form->windowTitle().endsWith(QStringLiteral(" *")));
        QTest::keyClick(s.tree(), Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(s.form->state().tree.find("root1"), nullptr);

        // Load with unsaved edits: Save writes them first.
        s.ui.saveChoices = {SaveChoice::Save};
        s.load();
        QVERIFY(s.ui.messages.back().starts_with("saved"));
        QCOMPARE(s.form->state().tree.topLevel().front()->key(), std::string("root1"));
        QCOMPARE(s.form->state().tree.topLevel().size(), std::size_t{2});
        QVERIFY(s.form->close());
    }

    void theTypicalUseEndsInTheSavedFile() {
        Session s;
        s.load();

        // A new set in the last group.
        s.clickNode("root3");
        s.click("addSetButton");
        QCOMPARE(childKeys(s, "root3"), std::vector<std::string>{"parent6"});
        QCOMPARE(s.shown("parent6"), QStringLiteral("CUSTOM SET"));
        QVERIFY(s.tree()->isExpanded(s.row("root3")));
        QCOMPARE(selectedKey(s), std::string("root3"));

        // Three level files from the folder list, added to the new set.
        openSubfolder(s, "LEMM");
        openSubfolder(s, "LEVELS");
        s.clickNode("parent6");
        s.selectLevelFiles({"spare1.lvl", "cliff.lvl", "spare2.lvl"});
        s.click("addLevelsButton");
        QCOMPARE(s.lastMessage(), std::string("3 level(s) added to 'CUSTOM SET'"));
        QCOMPARE(childKeys(s, "parent6"),
                 (std::vector<std::string>{"level9", "level10", "level11"}));
        // Titles as the files hold them: 32 bytes padded with spaces.
        QCOMPARE(s.shown("level9"), QStringLiteral("Cliffhanger").leftJustified(32, ' '));
        QCOMPARE(s.shown("level11"), QStringLiteral("The Long Walk Home").leftJustified(32, ' '));
        QVERIFY(s.tree()->isExpanded(s.row("parent6")));

        // The set gets a name of its own, and the profile is saved.
        renameWithF2(s, "MY LEVELS");
        QCOMPARE(s.shown("parent6"), QStringLiteral("MY LEVELS"));
        s.click("saveProfileButton");
        QVERIFY(s.lastMessage().starts_with("saved\n"));

        // The game reads 16 old records, then the new set and its levels, in tree order.
        const auto file = readBytes(s.demo.database("ALICE.DAT"));
        QCOMPARE(file.size(), format::fileSize(20));
        QCOMPARE(file[4], 20);
        QCOMPARE(file[5], 0);
        auto group = recordOf(file, 15);
        QCOMPARE(bytesAt(group, format::kNameOffset, format::kGroupNameWidth),
                 field("NEW GROUP", format::kGroupNameWidth));
        QCOMPARE(group[format::kCountOffset], 1); // one set now
        auto set = recordOf(file, 16);
        QCOMPARE(set[0], 16);
        QCOMPARE(set[format::kKindOffset], format::kSetKind);
        QCOMPARE(bytesAt(set, format::kNameOffset, format::kSetNameWidth),
                 field("MY LEVELS", format::kSetNameWidth));
        QCOMPARE(set[format::kCountOffset], 3);
        const char* files[] = {"cliff.lvl", "spare1.lvl", "spare2.lvl"};
        const char* titles[] = {"Cliffhanger", "Upside Down Town", "The Long Walk Home"};
        for (std::size_t i = 0; i < 3; ++i) {
            auto level = recordOf(file, 17 + i);
            QCOMPARE(level[0], 17 + i);
            QCOMPARE(level[format::kKindOffset], format::kLevelKind);
            std::string title = titles[i];
            title.resize(32, ' ');
            QCOMPARE(bytesAt(level, format::kNameOffset, format::kLevelNameWidth),
                     field(title, format::kLevelNameWidth));
            QCOMPARE(bytesAt(level, format::kLevelFileOffset, format::kLevelFileWidth),
                     field(files[i], format::kLevelFileWidth));
        }

        // And loading it again shows the same tree.
        s.load();
        QCOMPARE(s.shown("parent6"), QStringLiteral("MY LEVELS"));
        QCOMPARE(s.form->state().tree.count(), 20);
    }

    void theKeyboardRunsTheCommands() {
        Session s;
        auto* tree = s.tree();
        s.load();
        tree->expandAll();

        // Delete: the delete command of the selected node's kind.
        s.clickNode("level1");
        QTest::keyClick(tree, Qt::Key_Delete);
        QCOMPARE(childKeys(s, "parent1"), (std::vector<std::string>{"level2", "level3"}));
        s.clickNode("root3");
        s.ui.confirmations = {false};
        QTest::keyClick(tree, Qt::Key_Delete);
        QCOMPARE(
            s.ui.questions.back().text,
            std::string("Are you sure you want to delete 'NEW GROUP' and the 0 sets under it?"));
        QCOMPARE(tree->model()->rowCount(), 3);

        // Alt+Up and Alt+Down move the selected level.
        s.clickNode("level3");
        QTest::keyClick(tree, Qt::Key_Up, Qt::AltModifier);
        QCOMPARE(childKeys(s, "parent1"), (std::vector<std::string>{"level3", "level2"}));
        QTest::keyClick(tree, Qt::Key_Down, Qt::AltModifier);
        QCOMPARE(childKeys(s, "parent1"), (std::vector<std::string>{"level2", "level3"}));
        QTest::keyClick(tree, Qt::Key_Down, Qt::AltModifier);
        QCOMPARE(s.lastMessage(), std::string("cannot go lower"));

        // Alt+Down in the profile box is the box's own key.
        auto* profiles = s.find<QComboBox>("profileBox");
        profiles->setFocus();
        s.ui.messages.clear();
        QTest::keyClick(profiles, Qt::Key_Down, Qt::AltModifier);
        QVERIFY(s.ui.messages.empty());
        QCOMPARE(childKeys(s, "parent1"), (std::vector<std::string>{"level2", "level3"}));
        profiles->hidePopup();

        // Delete in a text box edits the text, not the tree.
        auto* box = s.find<QLineEdit>("levelFileEdit");
        box->setFocus();
        box->setCursorPosition(0);
        const int nodes = s.form->state().tree.count();
        QTest::keyClick(box, Qt::Key_Delete);
        QCOMPARE(s.form->state().tree.count(), nodes);
        QCOMPARE(box->text(), QStringLiteral("tairs.lvl"));

        // Ctrl+S saves from anywhere in the window.
        s.ui.messages.clear();
        QTest::keyClick(box, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(s.ui.messages.size(), std::size_t{1});
        QVERIFY(s.ui.messages[0].starts_with("saved\n"));
        QCOMPARE(readBytes(s.demo.database("ALICE.DAT")).size(), format::fileSize(nodes));
    }

    void theViewFollowsEachCommandInPlace() {
        Session s(levelsSettings());
        auto* tree = s.tree();
        // Small enough that the open tree needs its scroll bar.
        s.form->resize(s.form->width(), s.form->minimumSizeHint().height() + 160);
        s.load();
        int resets = 0;
        connect(tree->model(), &QAbstractItemModel::modelReset, this, [&] { ++resets; });
        tree->expandAll();
        tree->collapse(s.row("parent2"));
        s.clickNode("level2");

        // Moves keep the level selected and every other branch as it was.
        s.click("moveUpButton");
        QCOMPARE(childKeys(s, "parent1"), (std::vector<std::string>{"level2", "level1", "level3"}));
        QCOMPARE(selectedKey(s), std::string("level2"));
        QCOMPARE(tree->currentIndex(), s.row("level2"));
        s.click("moveDownButton");
        QCOMPARE(childKeys(s, "parent1"), (std::vector<std::string>{"level1", "level2", "level3"}));
        QCOMPARE(tree->currentIndex(), s.row("level2"));
        QVERIFY(!tree->isExpanded(s.row("parent2")));
        QVERIFY(tree->isExpanded(s.row("parent3")));
        QVERIFY(tree->isExpanded(s.row("root2")));

        // A move near the bottom keeps the scroll position.
        tree->verticalScrollBar()->setValue(tree->verticalScrollBar()->maximum());
        const int scrolled = tree->verticalScrollBar()->value();
        QVERIFY(scrolled > 0);
        s.clickNode("level7");
        QCOMPARE(tree->verticalScrollBar()->value(), scrolled);
        s.click("moveUpButton");
        QCOMPARE(childKeys(s, "parent3"), (std::vector<std::string>{"level7", "level6"}));
        QCOMPARE(tree->verticalScrollBar()->value(), scrolled);

        // A deletion selects the node that took the place, and the panel shows that node.
        s.clickNode("level1");
        s.click("deleteLevelButton");
        QCOMPARE(childKeys(s, "parent1"), (std::vector<std::string>{"level2", "level3"}));
        QCOMPARE(tree->currentIndex(), s.row("level2"));
        QCOMPARE(s.text("levelFileEdit"), QStringLiteral("gap.lvl"));
        s.clickNode("parent2");
        s.click("deleteSetButton");
        QCOMPARE(tree->currentIndex(), s.row("parent1"));
        QVERIFY(tree->isExpanded(s.row("parent1")));
        QVERIFY(tree->isExpanded(s.row("parent3")));

        // The last of everything: the tree empties and nothing is selected.
        for (const char* group : {"root1", "root2", "root3"}) {
            s.clickNode(group);
            s.click("deleteGroupButton");
        }
        QCOMPARE(tree->model()->rowCount(), 0);
        QVERIFY(!tree->currentIndex().isValid());
        QCOMPARE(resets, 0);
    }

    void renamingInPlaceGoesThroughTheCore() {
        Session s;
        s.load();
        // The first group is selected by the load; a click on it now would be a slow second click.
        renameWithF2(s, QString(40, 'G'));
        QCOMPARE(s.shown("root1"), QString(40, 'G'));
        QCOMPARE(s.form->state().tree.find("root1")->text(), std::string(40, 'G'));
        QVERIFY(s.ui.messages.empty());

        // The text reaches the core in Windows-1252; what it cannot hold is refused.
        s.clickNode("level1");
        renameWithF2(s, QString::fromUtf8("Tunnel \u2192 Vision"));
        QCOMPARE(s.lastMessage(),
                 std::string("WARNING: the text holds characters that cannot be stored"));
        QCOMPARE(s.shown("level1"), QStringLiteral("Tunnel Vision"));
        renameWithF2(s, QString::fromUtf8("Tunnel \u00BB Vision"));
        QCOMPARE(s.shown("level1"), QString::fromUtf8("Tunnel \u00BB Vision"));
        QCOMPARE(s.form->state().tree.find("level1")->text(), std::string("Tunnel \xBB Vision"));

        // A slow second click only selects; a double click opens the editor; Escape cancels.
        s.clickNode("root2");
        QTest::qWait(QApplication::doubleClickInterval() + 50);
        s.clickNode("root2");
        QTest::qWait(QApplication::doubleClickInterval() + 50);
        QVERIFY(editorOf(s) == nullptr);
        doubleClick(s.tree()->viewport(), s.tree()->visualRect(s.row("root2")).center());
        QTRY_VERIFY(editorOf(s) != nullptr);
        QLineEdit* editor = editorOf(s);
        QCOMPARE(editor->text(), QStringLiteral("QUILLFEN CLASSICS"));
        QTest::keyClicks(editor, "NOT THIS");
        QTest::keyClick(editor, Qt::Key_Escape);
        QVERIFY(editorOf(s) == nullptr);
        QCOMPARE(s.shown("root2"), QStringLiteral("QUILLFEN CLASSICS"));
    }

    void thePanelsTextsAndTheSelectedFileNamesReachTheCore() {
        Session s;
        s.load();
        s.type("groupFolderEdit", "CUST2");
        s.click("updateFolderButton");
        QCOMPARE(s.lastMessage(), std::string("Group's source folder has been updated"));
        QCOMPARE(s.form->state().tree.groupFolders(1), std::string("CUST2"));
        s.clickNode("level1");
        s.type("levelFileEdit", "gap.lvl");
        s.click("updateFileButton");
        QCOMPARE(s.lastMessage(), std::string("Levels source file has been updated"));
        QCOMPARE(s.form->state().tree.levelFiles(s.form->state().tree.find("level1")->index()),
                 std::string("gap.lvl"));

        // A selected level file whose name the record cannot hold stops the whole addition.
        TempDir dir;
        writeBytes(dir.file("\u65E5\u672C.lvl"), std::vector<unsigned char>(2048, 0));
        writeBytes(dir.file("ok.lvl"), std::vector<unsigned char>(2048, 0));
        s.open(dir.path());
        s.clickNode("parent1");
        s.selectLevelFiles({"ok.lvl", QString::fromUtf8("\u65E5\u672C.lvl")});
        s.click("addLevelsButton");
        QCOMPARE(s.lastMessage(),
                 std::string("WARNING: the text holds characters that cannot be stored"));
        QCOMPARE(childKeys(s, "parent1").size(), std::size_t{3});
        s.selectLevelFiles({"ok.lvl"});
        s.click("addLevelsButton");
        QCOMPARE(s.lastMessage(), std::string("1 level(s) added to 'CUSTOM SET'"));
        QCOMPARE(childKeys(s, "parent1").size(), std::size_t{4});
    }

    void initTestCase() {
        // The desktop's settings of these tests stay in a folder of their own.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QString::fromStdString(settings_.path().string()));
    }

    void anotherWinePrefixIsChosenOnlyOnceUnsavedEditsAreSettled() {
        Session s;
        DemoPrefix other;
        writeBytes(other.database("BOB.DAT"), std::vector<unsigned char>(8, 0));
        s.load();
        s.clickNode("root1");
        s.ui.confirmations = {true};
        s.click("deleteGroupButton");
        s.ui.saveChoices = {SaveChoice::Cancel};
        QVERIFY(!s.form->usePrefix(QString::fromStdString(other.prefix())));
        QVERIFY(s.form->state().tree.find("root2") != nullptr);
        s.ui.saveChoices = {SaveChoice::Discard};
        QVERIFY(s.form->usePrefix(QString::fromStdString(other.prefix())));
        QVERIFY(s.form->state().tree.empty());
        QCOMPARE(s.find<QComboBox>("profileBox")->currentText(), QStringLiteral("Alice"));
        QCOMPARE(QSettings().value("winePrefix").toString(),
                 QString::fromStdString(other.prefix()));
        // The other prefix's files are the ones loaded now.
        s.choose("Bob");
        s.load();
        QCOMPARE(
            s.lastMessage(),
            std::string("WARNING: the user profile you are trying to load seems to be corrupt"));
    }

    void aLevelPackIsImportedAsANewSetInOneStep() {
        Session s(levelsSettings());
        s.load();
        TempDir dir;
        writeBytes(dir.file("LEVEL001.DAT"),
                   makePack({packLevel(1, 40, "First"), packLevel(2, 50, "Second")}));
        s.clickNode("root2");
        s.ui.inputs = {{"MY PACK", true}};
        s.ui.confirmations = {true};
        s.form->importLevelPack(QString::fromStdString(dir.file("LEVEL001.DAT")),
                                QString::fromStdString(s.demo.levels()));
        QCOMPARE(s.ui.questions[0].text, std::string("enter the name of the new set for the "
                                                     "pack's levels"));
        QCOMPARE(childKeys(s, "parent6"), (std::vector<std::string>{"level9", "level10"}));
        QCOMPARE(s.shown("parent6"), QStringLiteral("MY PACK"));
        QCOMPARE(s.shown("level10"), QStringLiteral("Second").leftJustified(32, ' '));
        QVERIFY(std::filesystem::exists(s.demo.levels() + "/LEVEL001_01.LVL"));
        QCOMPARE(s.form->editor().documentState().undoText, std::string("Undo Import Level Pack"));
        s.form->onUndo();
        QCOMPARE(s.form->state().tree.find("parent6"), nullptr);

        // A file that is no Windows level is greyed in the list, its reason as its tip.
        writeBytes(s.demo.levels() + "/other.lvl", std::vector<unsigned char>(300, 1));
        auto* list = s.find<QListWidget>("levelFileList");
        QTRY_VERIFY(!list->findItems("other.lvl", Qt::MatchExactly).isEmpty());
        QListWidgetItem* other = list->findItems("other.lvl", Qt::MatchExactly).front();
        QTRY_COMPARE(other->toolTip(), QStringLiteral("the file is 300 bytes long, not 2048"));
        QVERIFY(list->findItems("cliff.lvl", Qt::MatchExactly).front()->toolTip().isEmpty());
    }

    void levelFilesAndLevelsDroppedOnASetAreAddedAndMoved() {
        Session s(levelsSettings());
        s.load();
        auto* model = s.tree()->model();
        auto uris = [&](const QStringList& paths) {
            auto* data = new QMimeData;
            QList<QUrl> urls;
            for (const QString& path : paths)
                urls.append(QUrl::fromLocalFile(path));
            data->setUrls(urls);
            return data;
        };
        // Files of another folder, as a file manager drags them: the folder list moves there.
        TempDir other;
        writeBytes(other.file("a.lvl"), makeLevelFile({}, "Dropped A"));
        writeBytes(other.file("b.lvl"), makeLevelFile({}, "Dropped B"));
        std::unique_ptr<QMimeData> files(uris({QString::fromStdString(other.file("a.lvl")),
                                               QString::fromStdString(other.file("b.lvl"))}));
        QVERIFY(!model->canDropMimeData(files.get(), Qt::CopyAction, -1, 0, s.row("root1")));
        QVERIFY(model->dropMimeData(files.get(), Qt::CopyAction, -1, 0, s.row("parent2")));
        QTRY_COMPARE(childKeys(s, "parent2").size(), std::size_t{4});
        QCOMPARE(s.find<FolderList>("folderList")->path(), canonical(other.path().string()));
        QCOMPARE(s.shown("level10"), QStringLiteral("Dropped B").leftJustified(32, ' '));
        QCOMPARE(s.form->editor().documentState().undoText, std::string("Undo Add Level(s)"));

        // A level dragged to the top of its own set; not into another set.
        auto* level = model->mimeData({s.row("level3")});
        QVERIFY(!model->canDropMimeData(level, Qt::MoveAction, 0, 0, s.row("parent2")));
        QVERIFY(model->dropMimeData(level, Qt::MoveAction, 0, 0, s.row("parent1")));
        delete level;
        QTRY_COMPARE(childKeys(s, "parent1"),
                     (std::vector<std::string>{"level3", "level1", "level2"}));
        QCOMPARE(s.form->editor().documentState().undoText, std::string("Undo Move Level"));
        QVERIFY(s.find<QLabel>("statusLabel")->text().endsWith(QStringLiteral(" - modified")));
        s.form->onUndo();
        QCOMPARE(childKeys(s, "parent1"), (std::vector<std::string>{"level1", "level2", "level3"}));
    }
};

QTEST_MAIN(WindowTest)
#include "window_test.moc"
