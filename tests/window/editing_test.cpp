// Editing through the window: the typical use from load to the saved file's bytes, the tree view
// following each command in place, renaming in place, and the keyboard.
#include "database/database_format.h"
#include "window/folder_list.h"
#include "window_test_support.h"

#include <QAbstractItemModelTester>
#include <QComboBox>
#include <QLineEdit>
#include <QScrollBar>
#include <QTreeView>
#include <QTreeWidget>
#include <algorithm>
#include <filesystem>

using namespace quillfen;
using namespace quillfen::testing;

namespace {

QTreeView* treeOf(const Session& s) {
    return s.find<QTreeView>("TreeView1");
}

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

QString shown(const Session& s, const std::string& key) {
    return treeOf(s)->model()->data(s.row(key)).toString();
}

// Double-clicks the entry of the folder list's current folder named `name`.
void openSubfolder(const Session& s, const QString& name) {
    auto* folders = s.find<FolderList>("Dir2");
    for (int i = 0; i < folders->currentItem()->childCount(); ++i)
        if (QTreeWidgetItem* child = folders->currentItem()->child(i); child->text(0) == name)
            return doubleClick(folders->viewport(), folders->visualItemRect(child).center());
    qFatal("no folder %s below %s", qPrintable(name), qPrintable(folders->path()));
}

// The in-place editor the tree has open, or null.
QLineEdit* editorOf(const Session& s) {
    for (auto* editor : treeOf(s)->viewport()->findChildren<QLineEdit*>())
        if (editor->isVisible())
            return editor;
    return nullptr;
}

// F2, then `text` put into the editor as typing (or an input method) does, then Enter; the view
// commits the text once the key has been handled.
void renameWithF2(const Session& s, const QString& text) {
    treeOf(s)->setFocus();
    QTest::keyClick(treeOf(s), Qt::Key_F2);
    QLineEdit* editor = editorOf(s);
    QVERIFY(editor);
    editor->selectAll();
    if (std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 128; }))
        QTest::keyClicks(editor, text);
    else
        editor->insert(text);
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

class EditingTest : public QObject {
    Q_OBJECT
private slots:
    void theTypicalUseEndsInTheSavedFile();
    void theViewFollowsEachCommandInPlace();
    void renamingInPlaceGoesThroughTheCore();
    void theKeyboardRunsTheCommands();
    void thePanelsTextsAndTheSelectedFileNamesReachTheCore();
};

void EditingTest::theTypicalUseEndsInTheSavedFile() {
    Session s;
    QAbstractItemModelTester tester(treeOf(s)->model(),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    s.load();

    // A new set in the last group.
    s.clickNode("root3");
    s.click("Command1");
    QCOMPARE(childKeys(s, "root3"), std::vector<std::string>{"parent6"});
    QCOMPARE(shown(s, "parent6"), QStringLiteral("CUSTOM SET"));
    QVERIFY(treeOf(s)->isExpanded(s.row("root3")));
    QCOMPARE(selectedKey(s), std::string("root3"));

    // Three level files from the folder list, added to the new set.
    openSubfolder(s, "LEMM");
    openSubfolder(s, "LEVELS");
    s.clickNode("parent6");
    s.selectLevelFiles({"spare1.lvl", "cliff.lvl", "spare2.lvl"});
    s.click("Command3");
    QCOMPARE(s.lastMessage(), std::string("3 level(s) added to 'CUSTOM SET'"));
    QCOMPARE(childKeys(s, "parent6"), (std::vector<std::string>{"level9", "level10", "level11"}));
    // Titles as the files hold them: 32 bytes padded with spaces.
    QCOMPARE(shown(s, "level9"), QStringLiteral("Cliffhanger").leftJustified(32, ' '));
    QCOMPARE(shown(s, "level11"), QStringLiteral("The Long Walk Home").leftJustified(32, ' '));
    QVERIFY(treeOf(s)->isExpanded(s.row("parent6")));

    // The set gets a name of its own, and the profile is saved.
    renameWithF2(s, "MY LEVELS");
    QCOMPARE(shown(s, "parent6"), QStringLiteral("MY LEVELS"));
    s.click("Command9");
    QCOMPARE(s.lastMessage(), std::string("saved"));

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
    QCOMPARE(shown(s, "parent6"), QStringLiteral("MY LEVELS"));
    QCOMPARE(s.form->state().tree.count(), 20);
}

void EditingTest::theKeyboardRunsTheCommands() {
    Session s;
    auto* tree = treeOf(s);
    s.load();
    tree->expandAll();

    // Delete: the delete command of the selected node's kind.
    s.clickNode("level1");
    QTest::keyClick(tree, Qt::Key_Delete);
    QCOMPARE(childKeys(s, "parent1"), (std::vector<std::string>{"level2", "level3"}));
    s.clickNode("root3");
    s.ui.confirmations = {false};
    QTest::keyClick(tree, Qt::Key_Delete);
    QCOMPARE(s.ui.questions.back().text,
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
    auto* profiles = s.find<QComboBox>("Combo1");
    profiles->setFocus();
    s.ui.messages.clear();
    QTest::keyClick(profiles, Qt::Key_Down, Qt::AltModifier);
    QVERIFY(s.ui.messages.empty());
    QCOMPARE(childKeys(s, "parent1"), (std::vector<std::string>{"level2", "level3"}));
    profiles->hidePopup();

    // Delete in a text box edits the text, not the tree.
    auto* box = s.find<QLineEdit>("Text2");
    box->setFocus();
    box->setCursorPosition(0);
    const int nodes = s.form->state().tree.count();
    QTest::keyClick(box, Qt::Key_Delete);
    QCOMPARE(s.form->state().tree.count(), nodes);
    QCOMPARE(box->text(), QStringLiteral("tairs.lvl"));

    // Ctrl+S saves from anywhere in the window.
    s.ui.messages.clear();
    QTest::keyClick(box, Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(s.ui.messages, std::vector<std::string>{"saved"});
    QCOMPARE(readBytes(s.demo.database("ALICE.DAT")).size(), format::fileSize(nodes));
}

void EditingTest::theViewFollowsEachCommandInPlace() {
    const std::string settings = levelsSettings();
    Session s(&settings);
    auto* tree = treeOf(s);
    QAbstractItemModelTester tester(tree->model(),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    s.load();
    int resets = 0;
    connect(tree->model(), &QAbstractItemModel::modelReset, this, [&] { ++resets; });
    tree->expandAll();
    tree->collapse(s.row("parent2"));
    s.clickNode("level2");

    // Moves keep the level selected and every other branch as it was.
    s.click("Command12");
    QCOMPARE(childKeys(s, "parent1"), (std::vector<std::string>{"level2", "level1", "level3"}));
    QCOMPARE(selectedKey(s), std::string("level2"));
    QCOMPARE(tree->currentIndex(), s.row("level2"));
    s.click("Command13");
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
    s.click("Command12");
    QCOMPARE(childKeys(s, "parent3"), (std::vector<std::string>{"level7", "level6"}));
    QCOMPARE(tree->verticalScrollBar()->value(), scrolled);

    // A deletion selects the node that took the place, and leaves the panel as it was.
    s.clickNode("level1");
    const QString panel = s.find<QLineEdit>("Text2")->text();
    s.click("Command6");
    QCOMPARE(childKeys(s, "parent1"), (std::vector<std::string>{"level2", "level3"}));
    QCOMPARE(tree->currentIndex(), s.row("level2"));
    QCOMPARE(s.find<QLineEdit>("Text2")->text(), panel);
    s.clickNode("parent2");
    s.click("Command5");
    QCOMPARE(tree->currentIndex(), s.row("parent1"));
    QVERIFY(tree->isExpanded(s.row("parent1")));
    QVERIFY(tree->isExpanded(s.row("parent3")));

    // The last of everything: the tree empties and nothing is selected.
    for (const char* group : {"root1", "root2", "root3"}) {
        s.clickNode(group);
        s.click("CommandDelG");
    }
    QCOMPARE(tree->model()->rowCount(), 0);
    QVERIFY(!tree->currentIndex().isValid());
    QCOMPARE(resets, 0);
}

void EditingTest::renamingInPlaceGoesThroughTheCore() {
    Session s;
    s.load();
    // The first group is selected by the load; a click on it now would be a slow second click.
    renameWithF2(s, QString(40, 'G'));
    QCOMPARE(shown(s, "root1"), QString(40, 'G'));
    QCOMPARE(s.form->state().tree.find("root1")->text(), std::string(40, 'G'));
    QVERIFY(s.ui.messages.empty());

    // The text reaches the core in Windows-1252; what it cannot hold is refused.
    s.clickNode("level1");
    renameWithF2(s, QString::fromUtf8("Tunnel \u2192 Vision"));
    QCOMPARE(s.lastMessage(),
             std::string("WARNING: the text holds characters that cannot be stored"));
    QCOMPARE(shown(s, "level1"), QStringLiteral("Tunnel Vision"));
    renameWithF2(s, QString::fromUtf8("Tunnel \u00BB Vision"));
    QCOMPARE(shown(s, "level1"), QString::fromUtf8("Tunnel \u00BB Vision"));
    QCOMPARE(s.form->state().tree.find("level1")->text(), std::string("Tunnel \xBB Vision"));

    // A slow second click opens the editor too; Escape cancels.
    s.clickNode("root2");
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    s.clickNode("root2");
    QTRY_VERIFY(editorOf(s) != nullptr);
    QLineEdit* editor = editorOf(s);
    QCOMPARE(editor->text(), QStringLiteral("QUILLFEN CLASSICS"));
    QTest::keyClicks(editor, "NOT THIS");
    QTest::keyClick(editor, Qt::Key_Escape);
    QVERIFY(editorOf(s) == nullptr);
    QCOMPARE(shown(s, "root2"), QStringLiteral("QUILLFEN CLASSICS"));
}

void EditingTest::thePanelsTextsAndTheSelectedFileNamesReachTheCore() {
    Session s;
    s.load();
    s.type("Text1", "CUST2");
    s.click("Command10");
    QCOMPARE(s.lastMessage(), std::string("Group's source folder has been updated"));
    QCOMPARE(s.form->state().tree.groupFolders(1), std::string("CUST2"));
    s.clickNode("level1");
    s.type("Text2", "gap.lvl");
    s.click("Command11");
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
    s.click("Command3");
    QCOMPARE(s.lastMessage(),
             std::string("WARNING: the text holds characters that cannot be stored"));
    QCOMPARE(childKeys(s, "parent1").size(), std::size_t{3});
    s.selectLevelFiles({"ok.lvl"});
    s.click("Command3");
    QCOMPARE(s.lastMessage(), std::string("1 level(s) added to 'CUSTOM SET'"));
    QCOMPARE(childKeys(s, "parent1").size(), std::size_t{4});
}

QTEST_MAIN(EditingTest)
#include "editing_test.moc"
