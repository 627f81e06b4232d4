// The detail panel: what a click in the tree shows, and Save Level Info down to the level file's
// bytes.
#include "window/folder_list.h"
#include "window_test_support.h"

#include <QLineEdit>
#include <QTreeView>
#include <filesystem>

using namespace quillfen;
using namespace quillfen::testing;

namespace {

const std::string kLevelsSettings =
    settingsText("C:\\LEMM\\LEVELS", "SOFTWARE\\Visual Sciences\\Windows Lemmings\\Users");
constexpr const char* kCountBoxes[] = {"numlemm", "action1", "action2", "action3", "action4",
                                       "action5", "action6", "action7", "action8"};
constexpr std::size_t kOffsets[] = {3, 9, 11, 13, 15, 17, 19, 21, 23};

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

void open(const Session& s, const std::filesystem::path& folder) {
    s.find<FolderList>("Dir2")->setPath(QString::fromStdString(folder.string()));
}

const QStringList kTunnel = {"40", "2", "2", "0", "1", "10", "3", "0", "2"};

} // namespace

class DetailTest : public QObject {
    Q_OBJECT
private slots:
    void aLevelShowsItsFileAndTheCountsInItsFile();
    void aGroupShowsItsFolderAndASetShowsNothing();
    void aSecondClickOnTheSameLevelReadsTheFileAgain();
    void theKeyboardMovesTheSelectionLikeClicks();
    void countsComeFromTheFolderListsFolder();
    void saveLevelInfoWritesTheNineBytesAndNothingElse();
    void saveLevelInfoRoundsHalvesToEven();
    void saveLevelInfoRefusalsLeaveTheFileAlone();
};

void DetailTest::aLevelShowsItsFileAndTheCountsInItsFile() {
    Session s(&kLevelsSettings);
    s.load();
    s.clickNode("level1");
    QCOMPARE(text(s, "Text2"), QStringLiteral("tunnel.lvl"));
    QCOMPARE(text(s, "Text1"), QString());
    QCOMPARE(counts(s), kTunnel);
    s.clickNode("level6");
    QCOMPARE(text(s, "Text2"), QStringLiteral("dig.lvl"));
    QCOMPARE(counts(s), (QStringList{"80", "0", "0", "5", "0", "0", "0", "5", "20"}));
}

void DetailTest::aGroupShowsItsFolderAndASetShowsNothing() {
    Session s(&kLevelsSettings);
    s.load();
    s.clickNode("level1");
    s.clickNode("root2");
    QCOMPARE(text(s, "Text1"), QStringLiteral("QFEN"));
    QCOMPARE(text(s, "Text2"), QString());
    QCOMPARE(counts(s), kTunnel); // the counts of the level clicked before
    s.clickNode("parent3");
    QCOMPARE(text(s, "Text1"), QString());
    QCOMPARE(text(s, "Text2"), QString());
    QCOMPARE(counts(s), kTunnel);
}

void DetailTest::aSecondClickOnTheSameLevelReadsTheFileAgain() {
    Session s(&kLevelsSettings);
    s.load();
    s.clickNode("level1");
    s.type("numlemm", "99");
    s.type("Text2", "typed.lvl");
    s.clickNode("level1");
    QCOMPARE(text(s, "numlemm"), QStringLiteral("40"));
    QCOMPARE(text(s, "Text2"), QStringLiteral("tunnel.lvl"));
}

void DetailTest::theKeyboardMovesTheSelectionLikeClicks() {
    Session s(&kLevelsSettings);
    s.load();
    s.clickNode("level1");
    auto* tree = s.find<QTreeView>("TreeView1");
    tree->setFocus();
    QTest::keyClick(tree, Qt::Key_Down);
    QCOMPARE(s.form->state().tree.selected()->key(), std::string("level2"));
    QCOMPARE(text(s, "Text2"), QStringLiteral("gap.lvl"));
    QCOMPARE(text(s, "numlemm"), QStringLiteral("20"));
}

void DetailTest::countsComeFromTheFolderListsFolder() {
    Session s(&kLevelsSettings);
    s.load();
    TempDir other;
    // A file of 11 bytes holds the lemmings and the climbers, nothing more.
    writeBytes(other.file("tunnel.lvl"),
               std::vector<unsigned char>{0, 0, 0, 7, 0, 0, 0, 0, 0, 3, 0});
    std::filesystem::create_directory(other.path() / "gap.lvl");
    open(s, other.path());

    s.clickNode("level1");
    QCOMPARE(counts(s), (QStringList{"7", "3", "", "", "", "", "", "", ""}));
    // A folder in the file's place, and a file that is not there, show no counts.
    s.clickNode("level2");
    QCOMPARE(text(s, "Text2"), QStringLiteral("gap.lvl"));
    QCOMPARE(counts(s), QStringList(9, QString()));
    s.clickNode("level1");
    s.clickNode("level3");
    QCOMPARE(text(s, "Text2"), QStringLiteral("stairs.lvl"));
    QCOMPARE(counts(s), QStringList(9, QString()));
    QVERIFY(s.ui.messages.empty());
}

void DetailTest::saveLevelInfoWritesTheNineBytesAndNothingElse() {
    Session s(&kLevelsSettings);
    s.load();
    const std::string file = s.demo.levels() + "/tunnel.lvl";
    const auto before = readBytes(file);
    s.clickNode("level1");
    typeCounts(s, {"80", "2", "0", "0", "4", "10", "0", "0", "10"});
    s.click("Command7");
    QCOMPARE(s.lastMessage(), std::string("Level info saved"));

    auto expected = before;
    const unsigned char written[] = {80, 2, 0, 0, 4, 10, 0, 0, 10};
    for (std::size_t i = 0; i < std::size(kOffsets); ++i)
        expected[kOffsets[i]] = written[i];
    QCOMPARE(readBytes(file), expected);

    s.clickNode("level2");
    s.clickNode("level1");
    QCOMPARE(counts(s), (QStringList{"80", "2", "0", "0", "4", "10", "0", "0", "10"}));

    // A name typed by hand is written to, whatever is selected; the name is stored on disk in
    // the host's spelling.
    TempDir other;
    writeBytes(other.file("caf\u00E9.lvl"), before);
    open(s, other.path());
    s.clickNode("root1");
    s.type("Text2", QString::fromUtf8("caf\u00E9.lvl"));
    typeCounts(s, {"255", "1", "1", "1", "1", "1", "1", "1", "1"});
    s.click("Command7");
    QCOMPARE(s.lastMessage(), std::string("Level info saved"));
    QCOMPARE(readBytes(other.file("caf\u00E9.lvl"))[3], 255);
}

void DetailTest::saveLevelInfoRoundsHalvesToEven() {
    Session s(&kLevelsSettings);
    s.load();
    s.clickNode("level1");
    typeCounts(s, {"7.5", "6.5", "0.4", "2", "2", "2", "2", "2", "254.6"});
    s.click("Command7");
    QCOMPARE(s.lastMessage(), std::string("Level info saved"));
    const auto bytes = readBytes(s.demo.levels() + "/tunnel.lvl");
    QCOMPARE(bytes[3], 8);
    QCOMPARE(bytes[9], 6);
    QCOMPARE(bytes[11], 0);
    QCOMPARE(bytes[23], 255);
}

void DetailTest::saveLevelInfoRefusalsLeaveTheFileAlone() {
    Session s(&kLevelsSettings);
    s.load();
    const std::string file = s.demo.levels() + "/tunnel.lvl";
    const auto before = readBytes(file);
    s.clickNode("level1");

    for (const QString& bad : {QString(), QStringLiteral("ten"), QStringLiteral("-1"),
                               QStringLiteral("255.5"), QStringLiteral("256")}) {
        typeCounts(s, {"80", "2", "0", "0", "4", "10", "0", "0", "10"});
        s.type("action8", bad);
        s.click("Command7");
        QCOMPARE(
            s.lastMessage(),
            std::string("WARNING: each count must be a number from 0 to 255; nothing was written"));
        QCOMPARE(readBytes(file), before);
    }
    typeCounts(s, kTunnel);

    s.type("Text2", QString());
    s.click("Command7");
    QCOMPARE(s.lastMessage(),
             std::string("cannot find level file.. make sure you selected the right folder above"));

    // A name the game's files cannot hold is not looked for at all.
    s.type("Text2", QString::fromUtf8("\u65E5\u672C.lvl"));
    s.click("Command7");
    QCOMPARE(s.lastMessage(),
             std::string("WARNING: the text holds characters that cannot be stored"));

    s.type("Text2", "USERS");
    open(s, s.demo.prefix() + "/drive_c/LEMM");
    s.click("Command7");
    QVERIFY(s.lastMessage().starts_with("ERROR: cannot write the level file: "));
    QCOMPARE(readBytes(file), before);
}

QTEST_MAIN(DetailTest)
#include "detail_test.moc"
