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

QStringList entries(const Session& s) {
    QStringList names;
    auto* list = s.find<QListWidget>("Dir1");
    for (int i = 0; i < list->count(); ++i)
        names << list->item(i)->text();
    return names;
}

QString count(const Session& s) {
    return s.find<QLabel>("countLabel")->text();
}

} // namespace

class BrowserTest : public QObject {
    Q_OBJECT
private slots:
    void theCountAndTheListShowTheOrdinaryLevelFiles();
    void theFolderListOpensFoldersAndTheFileListSelectsSeveral();
    void infoDescribesTheSelectedNode();
};

void BrowserTest::theCountAndTheListShowTheOrdinaryLevelFiles() {
    Session s;
    TempDir dir, one, none;
    for (const char* name : {"b.lvl", "A.LVL", "c.Lvl", ".hidden.lvl", "notes.txt", "x.lvl.bak"})
        std::ofstream(dir.path() / name, std::ios::binary) << "x";
    std::filesystem::create_directory(dir.path() / "folder.lvl");
    std::ofstream(one.path() / "only.lvl", std::ios::binary) << "x";
    s.open(dir.path());
    QCOMPARE(count(s), QStringLiteral("3 levels found"));
    QCOMPARE(entries(s), (QStringList{"A.LVL", "b.lvl", "c.Lvl"}));
    // No singular and no special case for none.
    s.open(one.path());
    QCOMPARE(count(s), QStringLiteral("1 levels found"));
    QCOMPARE(entries(s), QStringList{"only.lvl"});
    s.open(none.path());
    QCOMPARE(count(s), QStringLiteral("0 levels found"));
    QVERIFY(entries(s).isEmpty());
}

void BrowserTest::theFolderListOpensFoldersAndTheFileListSelectsSeveral() {
    const std::string settings = settingsText("C:\\LEMM", kUsersKey);
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

    // One click only picks the folder out, as in a file dialog; a double click opens it.
    const QPoint levels = folders->visualItemRect(folders->currentItem()->child(0)).center();
    QTest::mouseClick(folders->viewport(), Qt::LeftButton, {}, levels);
    QCOMPARE(count(s), QStringLiteral("0 levels found"));
    doubleClick(folders->viewport(), levels);
    QCOMPARE(folders->path(),
             QString::fromStdString(std::filesystem::canonical(s.demo.levels()).string()));
    QCOMPARE(count(s), QStringLiteral("10 levels found"));

    // Ctrl-clicks select several, the last clicked current; Shift-click takes a range.
    auto* list = s.find<QListWidget>("Dir1");
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
    QCOMPARE(count(s), QStringLiteral("0 levels found"));
}

void BrowserTest::infoDescribesTheSelectedNode() {
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

QTEST_MAIN(BrowserTest)
#include "browser_test.moc"
