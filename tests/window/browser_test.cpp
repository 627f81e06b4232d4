// The level-file browser: the folder list, the level-file list with its count, and "info".
#include "window/folder_list.h"
#include "window_test_support.h"

#include <QLabel>
#include <QTreeWidget>
#include <filesystem>
#include <fstream>

using namespace quillfen;
using namespace quillfen::testing;

namespace {

void touch(const std::filesystem::path& path) {
    std::ofstream(path, std::ios::binary) << "x";
}

QStringList entries(const Session& s) {
    QStringList names;
    auto* list = s.find<QListWidget>("Dir1");
    for (int i = 0; i < list->count(); ++i)
        names << list->item(i)->text();
    return names;
}

void open(const Session& s, const std::filesystem::path& folder) {
    s.find<FolderList>("Dir2")->setPath(QString::fromStdString(folder.string()));
}

QString count(const Session& s) {
    return s.find<QLabel>("countLabel")->text();
}

} // namespace

class BrowserTest : public QObject {
    Q_OBJECT
private slots:
    void onlyOrdinaryLevelFilesAreCountedAndListed();
    void theCountHasNoSingularAndNoZeroSpecialCase();
    void theCountIsNotLimitedToSixteenBits();
    void theFolderListOpensFoldersOnDoubleClickAndEnter();
    void theLevelFileListSelectsSeveralWithTheLastClickedCurrent();
    void infoDescribesTheSelectedNode();
};

void BrowserTest::onlyOrdinaryLevelFilesAreCountedAndListed() {
    Session s;
    TempDir dir;
    for (const char* name : {"b.lvl", "A.LVL", "c.Lvl", ".hidden.lvl", "notes.txt", "x.lvl.bak"})
        touch(dir.path() / name);
    std::filesystem::create_directory(dir.path() / "folder.lvl");
    open(s, dir.path());
    QCOMPARE(count(s), QStringLiteral("3 levels found"));
    QCOMPARE(entries(s), (QStringList{"A.LVL", "b.lvl", "c.Lvl"}));
}

void BrowserTest::theCountHasNoSingularAndNoZeroSpecialCase() {
    Session s;
    TempDir one, none;
    touch(one.path() / "only.lvl");
    open(s, one.path());
    QCOMPARE(count(s), QStringLiteral("1 levels found"));
    QCOMPARE(entries(s), QStringList{"only.lvl"});
    open(s, none.path());
    QCOMPARE(count(s), QStringLiteral("0 levels found"));
    QVERIFY(entries(s).isEmpty());
}

void BrowserTest::theCountIsNotLimitedToSixteenBits() {
    Session s;
    TempDir dir;
    for (int i = 0; i < 32770; ++i)
        touch(dir.path() / ("l" + std::to_string(i) + ".lvl"));
    open(s, dir.path());
    QCOMPARE(count(s), QStringLiteral("32770 levels found"));
    QCOMPARE(s.find<QListWidget>("Dir1")->count(), 32770);
}

void BrowserTest::theFolderListOpensFoldersOnDoubleClickAndEnter() {
    const std::string settings =
        settingsText("C:\\LEMM", "SOFTWARE\\Visual Sciences\\Windows Lemmings\\Users");
    Session s(&settings);
    auto* folders = s.find<FolderList>("Dir2");
    QCOMPARE(folders->currentItem()->text(0), QStringLiteral("LEMM"));
    QCOMPARE(count(s), QStringLiteral("0 levels found"));

    // The open folders lead from the root down to the current one; its subfolders hang below.
    QCOMPARE(folders->topLevelItem(0)->text(0), QStringLiteral("/"));
    QStringList below;
    for (int i = 0; i < folders->currentItem()->childCount(); ++i)
        below << folders->currentItem()->child(i)->text(0);
    QCOMPARE(below, (QStringList{"LEVELS", "USERS"}));

    QTreeWidgetItem* levels = folders->currentItem()->child(0);
    // One click only picks the folder out, as in a file dialog.
    QTest::mouseClick(folders->viewport(), Qt::LeftButton, {},
                      folders->visualItemRect(levels).center());
    QCOMPARE(count(s), QStringLiteral("0 levels found"));
    doubleClick(folders->viewport(), folders->visualItemRect(levels).center());
    QCOMPARE(folders->path(),
             QString::fromStdString(std::filesystem::canonical(s.demo.levels()).string()));
    QCOMPARE(count(s), QStringLiteral("10 levels found"));

    // Back up with the keyboard: the parent folder stands just above the current one.
    folders->setFocus();
    QTest::keyClick(folders, Qt::Key_Up);
    QTest::keyClick(folders, Qt::Key_Return);
    QCOMPARE(folders->currentItem()->text(0), QStringLiteral("LEMM"));
    QCOMPARE(count(s), QStringLiteral("0 levels found"));
}

void BrowserTest::theLevelFileListSelectsSeveralWithTheLastClickedCurrent() {
    const std::string settings =
        settingsText("C:\\LEMM\\LEVELS", "SOFTWARE\\Visual Sciences\\Windows Lemmings\\Users");
    Session s(&settings);
    auto* list = s.find<QListWidget>("Dir1");
    s.selectLevelFiles({"gap.lvl", "dig.lvl", "cliff.lvl"});
    QCOMPARE(list->selectedItems().size(), 3);
    QCOMPARE(list->currentItem()->text(), QStringLiteral("cliff.lvl"));

    // A plain click starts afresh; Shift-click takes the range from there.
    QListWidgetItem* first = list->findItems("cliff.lvl", Qt::MatchExactly).front();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(first).center());
    QListWidgetItem* last = list->findItems("float.lvl", Qt::MatchExactly).front();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ShiftModifier,
                      list->visualItemRect(last).center());
    QStringList selected;
    for (QListWidgetItem* item : list->selectedItems())
        selected << item->text();
    selected.sort();
    QCOMPARE(selected, (QStringList{"cliff.lvl", "dig.lvl", "float.lvl"}));
}

void BrowserTest::infoDescribesTheSelectedNode() {
    {
        Session s;
        s.click("Command8");
        QCOMPARE(s.lastMessage(), std::string("you have to load up a profile first"));
        s.load();
        s.click("Command8");
        QCOMPARE(s.lastMessage(), std::string("CUSTOM LEVELS 1 root1 - 16"));
        s.clickNode("level2");
        s.click("Command8");
        QCOMPARE(s.lastMessage(), std::string("Mind the Gap 4 level2 - 16"));
    }
    {
        // A group added before any load stands in the tree unselected.
        Session s;
        s.ui.inputs = {{"CUST", true}};
        s.click("Command2");
        s.click("Command8");
        QCOMPARE(s.lastMessage(), std::string("you must first select a node"));
    }
}

QTEST_MAIN(BrowserTest)
#include "browser_test.moc"
