// The detail panel: what a click in the tree shows, and Save Level Info down to the level file's
// bytes.
#include "window_test_support.h"

#include <QLineEdit>
#include <QTreeView>
#include <filesystem>

using namespace quillfen;
using namespace quillfen::testing;

namespace {

constexpr const char* kCountBoxes[] = {"numlemm", "action1", "action2", "action3", "action4",
                                       "action5", "action6", "action7", "action8"};
const QStringList kTunnel = {"40", "2", "2", "0", "1", "10", "3", "0", "2"};

QStringList counts(const Session& s) {
    QStringList texts;
    for (const char* box : kCountBoxes)
        texts << s.find<QLineEdit>(box)->text();
    return texts;
}

void typeCounts(const Session& s, const QStringList& texts) {
    for (std::size_t i = 0; i < std::size(kCountBoxes); ++i)
        s.type(kCountBoxes[i], texts[static_cast<int>(i)]);
}

QString text(const Session& s, const char* box) {
    return s.find<QLineEdit>(box)->text();
}

} // namespace

class DetailTest : public QObject {
    Q_OBJECT
private slots:
    void treeClicksAndKeysFillThePanelFromTheFolderListsFolder();
    void saveLevelInfoWritesTheNineBytesOnDisk();
};

void DetailTest::treeClicksAndKeysFillThePanelFromTheFolderListsFolder() {
    const std::string settings = levelsSettings();
    Session s(&settings);
    s.load();
    s.clickNode("level6");
    QCOMPARE(text(s, "Text2"), QStringLiteral("dig.lvl"));
    QCOMPARE(text(s, "Text1"), QString());
    QCOMPARE(counts(s), (QStringList{"80", "0", "0", "5", "0", "0", "0", "5", "20"}));
    s.clickNode("level1");
    QCOMPARE(text(s, "Text2"), QStringLiteral("tunnel.lvl"));
    QCOMPARE(counts(s), kTunnel);
    // A group shows its folder, a set nothing; the counts of the level before stay.
    s.clickNode("root2");
    QCOMPARE(text(s, "Text1"), QStringLiteral("QFEN"));
    QCOMPARE(text(s, "Text2"), QString());
    QCOMPARE(counts(s), kTunnel);
    s.clickNode("parent3");
    QCOMPARE(text(s, "Text1"), QString());
    QCOMPARE(text(s, "Text2"), QString());
    QCOMPARE(counts(s), kTunnel);

    // A second click on the same level reads the file again.
    s.clickNode("level1");
    s.type("numlemm", "99");
    s.type("Text2", "typed.lvl");
    s.clickNode("level1");
    QCOMPARE(text(s, "numlemm"), QStringLiteral("40"));
    QCOMPARE(text(s, "Text2"), QStringLiteral("tunnel.lvl"));

    // The keyboard moves the selection as clicks do.
    auto* tree = s.find<QTreeView>("TreeView1");
    tree->setFocus();
    QTest::keyClick(tree, Qt::Key_Down);
    QCOMPARE(s.form->state().tree.selected()->key(), std::string("level2"));
    QCOMPARE(text(s, "Text2"), QStringLiteral("gap.lvl"));
    QCOMPARE(text(s, "numlemm"), QStringLiteral("20"));

    // The file is looked for in the folder list's folder: 11 bytes hold two counts.
    TempDir other;
    writeBytes(other.file("tunnel.lvl"),
               std::vector<unsigned char>{0, 0, 0, 7, 0, 0, 0, 0, 0, 3, 0});
    s.open(other.path());
    s.clickNode("level1");
    QCOMPARE(counts(s), (QStringList{"7", "3", "", "", "", "", "", "", ""}));
    s.clickNode("level3");
    QCOMPARE(text(s, "Text2"), QStringLiteral("stairs.lvl"));
    QCOMPARE(counts(s), QStringList(9, QString()));
    QVERIFY(s.ui.messages.empty());
}

void DetailTest::saveLevelInfoWritesTheNineBytesOnDisk() {
    const std::string settings = levelsSettings();
    Session s(&settings);
    s.load();
    const std::string file = s.demo.levels() + "/tunnel.lvl";
    const auto before = readBytes(file);
    s.clickNode("level1");

    // One bad count writes nothing.
    typeCounts(s, {"80", "2", "0", "0", "4", "10", "0", "0", "10"});
    s.type("action8", "256");
    s.click("Command7");
    QCOMPARE(
        s.lastMessage(),
        std::string("WARNING: each count must be a number from 0 to 255; nothing was written"));
    QCOMPARE(readBytes(file), before);

    s.type("action8", "10");
    s.click("Command7");
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
    s.type("Text2", QString::fromUtf8("caf\u00E9.lvl"));
    typeCounts(s, {"255", "1", "1", "1", "1", "1", "1", "1", "1"});
    s.click("Command7");
    QCOMPARE(s.lastMessage(), std::string("Level info saved"));
    QCOMPARE(readBytes(other.file("caf\u00E9.lvl"))[3], 255);
}

QTEST_MAIN(DetailTest)
#include "detail_test.moc"
