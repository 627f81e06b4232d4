#include "database/database_check.h"
#include "database/database_reader.h"
#include "database/database_writer.h"

#include <gtest/gtest.h>

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

TEST(GoldenFile, TheTreeIsWrittenAsTheHandMadeBytes) {
    Bytes golden = goldenFile();
    ASSERT_EQ(golden.size(), 419u);
    EXPECT_EQ(encodeDatabase(goldenTree()), golden);
    EXPECT_TRUE(checkDatabaseFile(golden).empty());
}

TEST(GoldenFile, TheBytesReadBackAsTheTree) {
    auto parsed = ParseDatabaseFile(goldenFile());
    ASSERT_TRUE(parsed) << parsed.error();
    const LevelTree& tree = parsed->tree;
    ASSERT_EQ(tree.count(), 3);
    EXPECT_EQ(tree.item(1)->key(), "root1");
    EXPECT_EQ(tree.item(1)->text(), "CUSTOM LEVELS");
    EXPECT_EQ(tree.groupFolders(1), "CUST");
    EXPECT_EQ(tree.item(2)->key(), "parent1");
    EXPECT_EQ(tree.item(2)->parent()->key(), "root1");
    EXPECT_EQ(tree.item(3)->key(), "level1");
    EXPECT_EQ(tree.levelFiles(3), "dig.lvl");
    EXPECT_EQ(tree.selected(), tree.item(1));
    EXPECT_EQ(parsed->groupCount, 1u);
    EXPECT_EQ(parsed->setCount, 1u);
    EXPECT_EQ(parsed->levelCount, 1);
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

TEST(KeysAndOrder, KeyNumbersRunOverTheWholeFile) {
    LevelTree tree;
    int s = 0, l = 0;
    for (int g = 1; g <= 2; ++g) {
        auto* group = tree.add(nullptr, R::Last, "root" + std::to_string(g), "G");
        for (int k = 0; k < 2; ++k) {
            ++s;
            auto* set = tree.add(group, R::Child, "parent" + std::to_string(s), "S");
            ++l;
            tree.add(set, R::Child, "level" + std::to_string(l), "L");
        }
    }
    auto parsed = ParseDatabaseFile(encodeDatabase(tree));
    ASSERT_TRUE(parsed);
    std::vector<std::string> keys;
    for (int i = 1; i <= parsed->tree.count(); ++i)
        keys.push_back(parsed->tree.item(i)->key());
    EXPECT_EQ(keys, (std::vector<std::string>{"root1", "parent1", "level1", "parent2", "level2",
                                              "root2", "parent3", "level3", "parent4", "level4"}));
}

TEST(KeysAndOrder, EmptyGroupsAndSetsAreFollowedByTheNextRecord) {
    LevelTree tree;
    tree.add(nullptr, R::Last, "root1", "EMPTY");
    auto* g2 = tree.add(nullptr, R::Last, "root2", "TWO");
    tree.add(g2, R::Child, "parent1", "EMPTY SET");
    auto* s2 = tree.add(g2, R::Child, "parent2", "FULL SET");
    tree.add(s2, R::Child, "level1", "L");
    EXPECT_EQ(encodeDatabase(tree).size(), 8u + 137 * 5);
    tree.remove(tree.find("root1"));
    tree.add(nullptr, R::Last, "root3", "LAST");
    Bytes bytes = encodeDatabase(tree);
    auto parsed = ParseDatabaseFile(bytes);
    ASSERT_TRUE(parsed);
    // Keys are numbered anew in file order: the group added last is now root2.
    ASSERT_EQ(parsed->tree.topLevel().size(), 2u);
    EXPECT_EQ(parsed->tree.find("root2")->text(), "LAST");
    EXPECT_EQ(parsed->tree.find("root2")->children(), 0);
    EXPECT_EQ(parsed->tree.find("parent1")->children(), 0);
    EXPECT_EQ(parsed->tree.find("parent2")->parent()->key(), "root1");
    EXPECT_EQ(encodeDatabase(parsed->tree), bytes);
}

TEST(RecordFields, IndexesCountsAndLongNamesAreWrittenAsTheFormatSays) {
    LevelTree tree;
    auto* g = tree.add(nullptr, R::Last, "root1", "G");
    auto* s = tree.add(g, R::Child, "parent1", "S");
    const std::string name35(35, 'n');
    for (int i = 1; i <= 300; ++i) {
        auto* l = tree.add(s, R::Child, "level" + std::to_string(i), "L");
        tree.setLevelFiles(l->index(), name35);
    }
    Bytes bytes = encodeDatabase(tree);
    // The set's level count, 300.
    EXPECT_EQ(bytes[8 + 137 + 118], 0x2C);
    EXPECT_EQ(bytes[8 + 137 + 119], 0x01);
    // The 256th and 257th records' indexes.
    EXPECT_EQ(bytes[8 + 137 * 255], 0xFF);
    EXPECT_EQ(bytes[8 + 137 * 255 + 1], 0x00);
    EXPECT_EQ(bytes[8 + 137 * 256], 0x00);
    EXPECT_EQ(bytes[8 + 137 * 256 + 1], 0x01);
    // A 35-character file name: cut in the first field, whole in the second.
    std::size_t level = 8 + 137 * 2;
    EXPECT_EQ(bytes[level + 50 + 33], 'n');
    EXPECT_EQ(bytes[level + 84 + 34], 'n');
    EXPECT_EQ(bytes[level + 84 + 35], 0);
    EXPECT_TRUE(checkDatabaseFile(bytes).empty());
}

TEST(RecordFields, TextsAreReadNoFurtherThanTheirField) {
    LevelTree tree;
    auto* g = tree.add(nullptr, R::Last, "root1", std::string(40, 'G'));
    tree.setGroupFolders(g->index(), std::string(68, 'F'));
    auto* s = tree.add(g, R::Child, "parent1", std::string(108, 'S'));
    for (std::size_t length : {33u, 34u, 37u, 38u, 45u}) {
        auto* l = tree.add(s, R::Child, "level" + std::to_string(length), std::string(40, 'L'));
        tree.setLevelFiles(l->index(), std::string(length, 'f'));
    }
    Bytes bytes = encodeDatabase(tree);
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
    // Up to 38 characters a file name comes back whole; beyond, as the wide field holds it.
    EXPECT_EQ(lengths, (std::vector<std::size_t>{33, 34, 37, 38, 38}));
    EXPECT_EQ(encodeDatabase(back), bytes);
}

// Other programs leave bytes behind the zero that ends a name; the name ends at that zero
// wherever it stands, whatever bytes stand around it.
TEST(RecordFields, ANameEndsAtItsFirstZeroWhateverFollows) {
    const std::size_t levelName = 8 + 137 * 2 + 10;
    for (unsigned char filler : {0x01, 0x7f, 0x80, 0xff}) {
        for (std::size_t length = 0; length <= 40; ++length) {
            Bytes bytes = goldenFile();
            for (std::size_t i = 0; i < 40; ++i)
                bytes[levelName + i] = i == length ? 0 : filler;
            auto parsed = ParseDatabaseFile(bytes);
            ASSERT_TRUE(parsed);
            EXPECT_EQ(parsed->tree.item(3)->text(), std::string(length, static_cast<char>(filler)))
                << "filler " << int(filler) << ", length " << length;
        }
    }
}

TEST(RecordFields, HeaderBytesAroundTheCountAreWrittenAsZero) {
    Bytes golden = goldenFile();
    golden[0] = 7;
    golden[7] = 9;
    auto parsed = ParseDatabaseFile(golden);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(encodeDatabase(parsed->tree), goldenFile());
    EXPECT_EQ(checkDatabaseFile(golden).size(), 2u);
}

struct Refusal {
    const char* what;
    void (*damage)(Bytes&);
    const char* says;
};

void PrintTo(const Refusal& refusal, std::ostream* out) {
    *out << refusal.what;
}

class DamagedFiles : public ::testing::TestWithParam<Refusal> {};

TEST_P(DamagedFiles, AreRefusedWithAPlainReason) {
    Bytes bytes = goldenFile();
    GetParam().damage(bytes);
    auto parsed = ParseDatabaseFile(bytes);
    ASSERT_FALSE(parsed);
    EXPECT_EQ(parsed.error(), std::string(kCorruptProfile) + "\n" + GetParam().says);
}

INSTANTIATE_TEST_SUITE_P(
    Counts, DamagedFiles,
    ::testing::Values(
        Refusal{"MoreRecordsThanBytes", [](Bytes& b) { b[4] = 40; },
                "the file claims 40 records but holds 3"},
        Refusal{"NegativeRecordCount", [](Bytes& b) { b[4] = 0xFB, b[5] = 0xFF; },
                "the file claims a negative number of records (-5)"},
        Refusal{"TooManySets", [](Bytes& b) { b[8 + 118] = 0x2C, b[8 + 119] = 1; },
                "the group at record 0 (offset 8) claims 300 sets; a group holds at most 255"},
        Refusal{"LevelsPastTheLastRecord", [](Bytes& b) { b[8 + 137 + 118] = 2; },
                "the records end inside the set at record 1 (offset 145): it claims 2 levels, 1 "
                "follow"},
        Refusal{"SetsPastTheLastRecord", [](Bytes& b) { b[8 + 118] = 2; },
                "the records end inside the group at record 0 (offset 8): it claims 2 sets, 1 "
                "follow"},
        Refusal{"TooLong", [](Bytes& b) { b.resize(500001); },
                "the file is 500001 bytes long; a profile holds at most 500000"}),
    [](const auto& info) { return info.param.what; });

TEST(Checker, NamesTheRecordAndOffsetOfEachProblem) {
    Bytes bytes = goldenFile();
    bytes[8 + 2] = 2;             // group kind byte
    bytes[145] = 5;               // record index of record 1
    bytes[8 + 10 + 20] = 'x';     // a byte behind the group name's zero
    bytes[8 + 137 * 2 + 130] = 0; // a fixed byte of the level record
    auto problems = checkDatabaseFile(bytes);
    ASSERT_EQ(problems.size(), 4u);
    EXPECT_EQ(problems[0], "record 0, offset 10: kind byte of a group record is 02, not 01");
    EXPECT_EQ(problems[1], "record 0, offset 38: byte behind the group name text is 78, not 00");
    EXPECT_EQ(problems[2], "record 1, offset 145: record index is 5, not 1");
    EXPECT_EQ(problems[3], "record 2, offset 412: fixed byte of a level record is 00, not 44");
}

} // namespace
} // namespace quillfen
