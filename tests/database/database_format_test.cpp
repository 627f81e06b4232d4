#include "database/database_check.h"
#include "database/database_reader.h"
#include "database/database_writer.h"

#include <gtest/gtest.h>
#include <tuple>

namespace quillfen {
namespace {

using Bytes = std::vector<unsigned char>;
using R = LevelTree::Relationship;

void append(Bytes& out, std::initializer_list<unsigned char> bytes) {
    out.insert(out.end(), bytes);
}
void appendField(Bytes& out, const std::string& text, std::size_t width) {
    for (std::size_t i = 0; i < width; ++i)
        out.push_back(i < text.size() ? static_cast<unsigned char>(text[i]) : 0);
}

// One group CUSTOM LEVELS (folder CUST) > one set CUSTOM SET > one level, written out by hand.
Bytes goldenFile() {
    Bytes f;
    append(f, {0, 0, 0, 0, 3, 0, 0, 0});                         // header: 3 records
    append(f, {0, 0});                                           // record index 0
    append(f, {1, 1, 2, 1, 0, 0, 0, 0});                         // group kind and fixed bytes
    appendField(f, "CUSTOM LEVELS", 40);                         // group name
    appendField(f, "CUST", 68);                                  // folder
    append(f, {1, 0});                                           // one set
    appendField(f, "", 17);                                      // zeros
    append(f, {1, 0});                                           // record index 1
    append(f, {2, 1, 3, 0, 0, 0, 0, 0});                         // set kind and fixed bytes
    appendField(f, "CUSTOM SET", 108);                           // set name
    append(f, {1, 0});                                           // one level
    appendField(f, "", 17);                                      // zeros
    append(f, {2, 0});                                           // record index 2
    append(f, {3, 0, 0, 0, 3, 0, 0, 0});                         // level kind and fixed bytes
    appendField(f, "Just Dig!", 40);                             // level name
    appendField(f, "dig.lvl", 34);                               // level file
    appendField(f, "dig.lvl", 38);                               // level file again
    append(f, {1, 0, 0, 0, 0, 0});                               // fixed
    append(f, {0x4C, 0xA4, 0x44, 0x1C, 0x34, 0x4C, 0xC8, 0xA4}); // fixed
    append(f, {0});
    return f;
}

LevelTree goldenTree() {
    LevelTree tree;
    auto* g = tree.add(nullptr, R::Last, "root1", "CUSTOM LEVELS");
    tree.setGroupFolders(g->index(), "CUST");
    auto* s = tree.add(g, R::Child, "parent1", "CUSTOM SET");
    auto* l = tree.add(s, R::Child, "level1", "Just Dig!");
    tree.setLevelFiles(l->index(), "dig.lvl");
    return tree;
}

// Each node in node-index order: its key, its parent's key, its text and its table entry.
std::string describe(const LevelTree& tree) {
    std::string out;
    for (int i = 1; i <= tree.count(); ++i) {
        const LevelTree::Node* n = tree.item(i);
        out += n->key();
        if (n->parent())
            out.append("<").append(n->parent()->key());
        out += ' ';
        out.append(n->text());
        auto entry = n->kind() == NodeKind::Group ? tree.groupFolders(i) : tree.levelFiles(i);
        if (!entry.empty())
            out.append(" [").append(entry).append("]");
        out += "; ";
    }
    return out;
}

TEST(GoldenFile, TheTreeIsWrittenAsTheHandMadeBytesWhichReadBackAsTheTree) {
    Bytes golden = goldenFile();
    ASSERT_EQ(golden.size(), 419u);
    EXPECT_EQ(encodeDatabase(goldenTree()), golden);
    EXPECT_TRUE(checkDatabaseFile(golden).empty());
    auto parsed = ParseDatabaseFile(golden);
    ASSERT_TRUE(parsed) << parsed.error();
    EXPECT_EQ(describe(parsed->tree), "root1 CUSTOM LEVELS [CUST]; parent1<root1 CUSTOM SET; "
                                      "level1<parent1 Just Dig! [dig.lvl]; ");
    EXPECT_EQ(parsed->tree.selected(), parsed->tree.item(1));
    EXPECT_EQ(std::tuple(parsed->groupCount, parsed->setCount, parsed->levelCount),
              std::tuple(1u, 1u, 1));
}

TEST(GoldenFile, EveryCutOfTheFileIsRefusedCleanly) {
    Bytes golden = goldenFile();
    for (std::size_t length = 0; length < golden.size(); ++length) {
        Bytes cut(golden.begin(), golden.begin() + static_cast<std::ptrdiff_t>(length));
        auto parsed = ParseDatabaseFile(cut);
        ASSERT_FALSE(parsed) << "length " << length;
        EXPECT_EQ(parsed.error().rfind(kCorruptProfile, 0), 0u);
        EXPECT_FALSE(checkDatabaseFile(cut).empty());
    }
}

TEST(DamagedFiles, CountsThatClaimMoreThanTheFileHoldsAreRefusedWithAPlainReason) {
    const std::pair<void (*)(Bytes&), const char*> damages[] = {
        {[](Bytes& b) { b[4] = 40; }, "the file claims 40 records but holds 3"},
        {[](Bytes& b) { b[4] = 0xFB, b[5] = 0xFF; },
         "the file claims a negative number of records (-5)"},
        {[](Bytes& b) { b[8 + 118] = 0x2C, b[8 + 119] = 1; },
         "the group at record 0 (offset 8) claims 300 sets; a group holds at most 255"},
        {[](Bytes& b) { b[8 + 137 + 118] = 2; },
         "the records end inside the set at record 1 (offset 145): it claims 2 levels, 1 follow"},
        {[](Bytes& b) { b[8 + 118] = 2; },
         "the records end inside the group at record 0 (offset 8): it claims 2 sets, 1 follow"},
        {[](Bytes& b) { b.resize(500001); },
         "the file is 500001 bytes long; a profile holds at most 500000"},
    };
    for (auto [damage, says] : damages) {
        Bytes bytes = goldenFile();
        damage(bytes);
        auto parsed = ParseDatabaseFile(bytes);
        ASSERT_FALSE(parsed) << says;
        EXPECT_EQ(parsed.error(), std::string(kCorruptProfile) + "\n" + says);
    }
}

TEST(KeysAndOrder, KeysAreNumberedAnewInFileOrderThroughEmptyGroupsAndSets) {
    LevelTree tree;
    tree.add(nullptr, R::Last, "root1", "GONE");
    auto* g2 = tree.add(nullptr, R::Last, "root2", "TWO");
    tree.add(g2, R::Child, "parent1", "EMPTY SET");
    tree.add(tree.add(g2, R::Child, "parent2", "FULL SET"), R::Child, "level1", "L");
    tree.add(nullptr, R::Last, "root3", "EMPTY");
    auto* g4 = tree.add(nullptr, R::Last, "root4", "FOUR");
    tree.add(tree.add(g4, R::Child, "parent3", "S"), R::Child, "level2", "L");
    tree.remove(tree.find("root1"));
    Bytes bytes = encodeDatabase(tree);
    auto parsed = ParseDatabaseFile(bytes);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(describe(parsed->tree),
              "root1 TWO; parent1<root1 EMPTY SET; parent2<root1 FULL SET; level1<parent2 L; "
              "root2 EMPTY; root3 FOUR; parent3<root3 S; level2<parent3 L; ");
    EXPECT_EQ(encodeDatabase(parsed->tree), bytes);
}

TEST(RecordFields, TextsAreCutToTheirFieldAndEndAtAZeroInThem) {
    LevelTree tree;
    auto* g = tree.add(nullptr, R::Last, "root1", std::string(45, 'G'));
    tree.setGroupFolders(g->index(), std::string(70, 'F'));
    auto* s = tree.add(g, R::Child, "parent1", std::string(110, 'S'));
    std::vector<std::string> files;
    for (std::size_t length : {33u, 34u, 35u, 37u, 38u, 45u})
        files.emplace_back(length, 'f');
    // A file name ending at a zero in it is written padded from there.
    files.emplace_back("ab\0cd", 5);
    for (std::size_t i = 0; i < files.size(); ++i) {
        auto* l = tree.add(s, R::Child, "level" + std::to_string(i), std::string(41, 'L'));
        tree.setLevelFiles(l->index(), files[i]);
    }
    Bytes bytes = encodeDatabase(tree);
    EXPECT_TRUE(checkDatabaseFile(bytes).empty());
    auto parsed = ParseDatabaseFile(bytes);
    ASSERT_TRUE(parsed);
    const LevelTree& back = parsed->tree;
    EXPECT_EQ(back.item(1)->text(), std::string(40, 'G'));
    EXPECT_EQ(back.groupFolders(1), std::string(68, 'F'));
    EXPECT_EQ(back.item(2)->text(), std::string(108, 'S'));
    std::vector<std::size_t> lengths;
    for (int i = 3; i <= back.count(); ++i) {
        EXPECT_EQ(back.item(i)->text(), std::string(40, 'L'));
        lengths.push_back(back.levelFiles(i).size());
    }
    // Up to 38 characters a file name comes back whole, though only 34 fit its first field.
    EXPECT_EQ(lengths, (std::vector<std::size_t>{33, 34, 35, 37, 38, 38, 2}));
    EXPECT_EQ(encodeDatabase(back), bytes);
}

// Other programs leave bytes behind the zero that ends a name; the name ends at that zero
// wherever it stands, whatever bytes stand around it.
TEST(RecordFields, ANameEndsAtItsFirstZeroWhateverFollows) {
    const std::size_t levelName = 8 + 137 * 2 + 10;
    for (unsigned char filler : {0x01, 0x7f, 0x80, 0xff})
        for (std::size_t length = 0; length <= 40; ++length) {
            Bytes bytes = goldenFile();
            for (std::size_t i = 0; i < 40; ++i)
                bytes[levelName + i] = i == length ? 0 : filler;
            auto parsed = ParseDatabaseFile(bytes);
            ASSERT_TRUE(parsed);
            EXPECT_EQ(parsed->tree.item(3)->text(), std::string(length, char(filler))) << length;
        }
}

// The load passes over what the checker finds here, and a save writes the file well formed.
TEST(Checker, NamesTheRecordAndOffsetOfEachProblem) {
    Bytes bytes = goldenFile();
    bytes[7] = 9;                 // a header byte behind the count
    bytes[8 + 2] = 2;             // group kind byte
    bytes[145] = 5;               // record index of record 1
    bytes[8 + 10 + 20] = 'x';     // a byte behind the group name's zero
    bytes[8 + 137 * 2 + 130] = 0; // a fixed byte of the level record
    auto problems = checkDatabaseFile(bytes);
    ASSERT_EQ(problems.size(), 5u);
    EXPECT_EQ(problems[0], "offset 7: header byte is 09, not 00");
    EXPECT_EQ(problems[1], "record 0, offset 10: kind byte of a group record is 02, not 01");
    EXPECT_EQ(problems[2], "record 0, offset 38: byte behind the group name text is 78, not 00");
    EXPECT_EQ(problems[3], "record 1, offset 145: record index is 5, not 1");
    EXPECT_EQ(problems[4], "record 2, offset 412: fixed byte of a level record is 00, not 44");
    auto parsed = ParseDatabaseFile(bytes);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(encodeDatabase(parsed->tree), goldenFile());
}

} // namespace
} // namespace quillfen
