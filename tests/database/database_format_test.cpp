#include "database/database_check.h"
#include "database/database_format.h"
#include "database/database_reader.h"
#include "database/database_writer.h"

#include <gtest/gtest.h>
#include <numeric>
#include <optional>

namespace quillfen {
namespace {

using Bytes = std::vector<unsigned char>;
using R = LevelTree::Relationship;

// One group CUSTOM LEVELS (folder CUST) > one set CUSTOM SET > one level, written out by hand.
Bytes goldenFile() {
    Bytes f = {0, 0, 0, 0, 3, 0, 0, 0}; // header: 3 records
    auto put = [&](std::initializer_list<unsigned char> bytes) { f.insert(f.end(), bytes); };
    auto text = [&](const std::string& text, std::size_t width) {
        for (std::size_t i = 0; i < width; ++i)
            f.push_back(i < text.size() ? static_cast<unsigned char>(text[i]) : 0);
    };
    put({0, 0, 1, 1, 2, 1, 0, 0, 0, 0}); // record index 0, group kind and fixed bytes
    text("CUSTOM LEVELS", 40);
    text("CUST", 68);
    put({1, 0});                         // one set
    text("", 17);                        // zeros
    put({1, 0, 2, 1, 3, 0, 0, 0, 0, 0}); // record index 1, set kind and fixed bytes
    text("CUSTOM SET", 108);
    put({1, 0}); // one level
    text("", 17);
    put({2, 0, 3, 0, 0, 0, 3, 0, 0, 0}); // record index 2, level kind and fixed bytes
    text("Just Dig!", 40);
    text("dig.lvl", 34);
    text("dig.lvl", 38);
    put({1, 0, 0, 0, 0, 0, 0x4C, 0xA4, 0x44, 0x1C, 0x34, 0x4C, 0xC8, 0xA4, 0});
    return f;
}

TEST(GoldenFile, TheTreeIsWrittenAsTheHandMadeBytesWhichReadBackAsTheTreeAndNoCutIsRead) {
    LevelTree tree;
    auto* g = tree.add(nullptr, R::Last, "root1", "CUSTOM LEVELS");
    tree.setGroupFolders(g->index(), "CUST");
    auto* l =
        tree.add(tree.add(g, R::Child, "parent1", "CUSTOM SET"), R::Child, "level1", "Just Dig!");
    tree.setLevelFiles(l->index(), "dig.lvl");
    Bytes golden = goldenFile();
    ASSERT_EQ(golden.size(), 419u);
    EXPECT_EQ(encodeDatabase(tree), golden);
    EXPECT_TRUE(checkDatabaseFile(golden).empty());
    auto parsed = ParseDatabaseFile(golden);
    ASSERT_TRUE(parsed) << parsed.error();
    EXPECT_EQ(encodeDatabase(parsed->tree), golden);
    EXPECT_EQ(parsed->tree.selected(), parsed->tree.item(1));
    // Every cut of the file is refused cleanly.
    for (std::size_t length = 0; length < golden.size(); ++length) {
        auto cut = std::span(golden).first(length);
        auto refused = ParseDatabaseFile(cut);
        ASSERT_FALSE(refused) << "length " << length;
        EXPECT_EQ(refused.error().rfind(kCorruptProfile, 0), 0u);
        EXPECT_FALSE(checkDatabaseFile(cut).empty());
    }
}

// The refusal names the place: the offset its reason gives, and the record read there.
TEST(DamagedFiles, CountsThatClaimMoreThanTheFileHoldsAreRefusedWithAPlainReasonAndItsPlace) {
    struct Damage {
        std::optional<std::size_t> offset, record;
        void (*damage)(Bytes&);
        const char* says;
    };
    const auto none = std::nullopt;
    const Damage damages[] = {
        {4, none, [](Bytes& b) { b[4] = 40; }, "the file claims 40 records but holds 3"},
        {4, none, [](Bytes& b) { b[4] = 0xFB, b[5] = 0xFF; },
         "the file claims a negative number of records (-5)"},
        {8, 0, [](Bytes& b) { b[8 + 118] = 0x2C, b[8 + 119] = 1; },
         "the group at record 0 (offset 8) claims 300 sets; a group holds at most 255"},
        {145, 1, [](Bytes& b) { b[8 + 137 + 118] = 2; },
         "the records end inside the set at record 1 (offset 145): it claims 2 levels, 1 follow"},
        {8, 0, [](Bytes& b) { b[8 + 118] = 2; },
         "the records end inside the group at record 0 (offset 8): it claims 2 sets, 1 follow"},
        {500000, none, [](Bytes& b) { b.resize(500001); },
         "the file is 500001 bytes long; a profile holds at most 500000"},
    };
    for (const Damage& row : damages) {
        Bytes bytes = goldenFile();
        row.damage(bytes);
        auto parsed = ParseDatabaseFile(bytes);
        ASSERT_FALSE(parsed) << row.says;
        EXPECT_EQ(parsed.error(), std::string(kCorruptProfile) + "\n" + row.says);
        EXPECT_EQ(parsed.failure().offset, row.offset) << row.says;
        EXPECT_EQ(parsed.failure().record, row.record) << row.says;
    }
}

TEST(RecordFields, TextsAreCutToTheirFieldAndEndAtAZeroInThem) {
    LevelTree tree;
    auto* g = tree.add(nullptr, R::Last, "root1", std::string(45, 'G'));
    tree.setGroupFolders(g->index(), std::string(70, 'F'));
    auto* s = tree.add(g, R::Child, "parent1", std::string(110, 'S'));
    // A file name ending at a zero in it is written padded from there.
    const std::string files[] = {std::string(33, 'f'), std::string(34, 'f'), std::string(35, 'f'),
                                 std::string(38, 'f'), std::string(45, 'f'), {"ab\0cd", 5}};
    for (const std::string& file : files)
        tree.add(s, R::Child, NodeKind::Level, tree.count(), std::string(41, 'L'), file);
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
    EXPECT_EQ(lengths, (std::vector<std::size_t>{33, 34, 35, 38, 38, 2}));
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
    EXPECT_EQ(checkDatabaseFile(bytes),
              (std::vector<std::string>{
                  "offset 7: header byte is 09, not 00",
                  "record 0, offset 10: kind byte of a group record is 02, not 01",
                  "record 0, offset 38: byte behind the group name text is 78, not 00",
                  "record 1, offset 145: record index is 5, not 1",
                  "record 2, offset 412: fixed byte of a level record is 00, not 44"}));
    auto parsed = ParseDatabaseFile(bytes);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(encodeDatabase(parsed->tree), goldenFile());
}

// One group of sets of 300 levels (a count past one byte), up to the most nodes a tree holds;
// the save and the load report one step a record, the load ending at zero.
TEST(RoundTrip, TheLargestTreeIsWellFormedAndLoadsAgainReportingEachRecord) {
    LevelTree tree;
    auto* g = tree.add(nullptr, R::Last, "root1", "G");
    for (std::uint32_t s = 1; tree.count() < format::kMaxNodes; ++s) {
        auto* set = tree.add(g, R::Child, NodeKind::Set, s, "S");
        for (int k = 0; k < 300 && tree.count() < format::kMaxNodes; ++k)
            tree.add(set, R::Child, NodeKind::Level, static_cast<std::uint32_t>(tree.count()), "L",
                     "L.LVL");
    }
    std::vector<double> saveSteps, loadSteps;
    auto steps = [](std::vector<double>& values) {
        return [&values](double value, double maximum) {
            EXPECT_EQ(maximum, format::kMaxNodes);
            values.push_back(value);
        };
    };
    auto bytes = encodeDatabase(tree, steps(saveSteps));
    EXPECT_EQ(bytes.size(), 499921u);
    // Among others, the record indexes and the level counts past 255.
    EXPECT_TRUE(checkDatabaseFile(bytes).empty());
    auto parsed = ParseDatabaseFile(bytes, steps(loadSteps));
    ASSERT_TRUE(parsed) << parsed.error();
    EXPECT_EQ(encodeDatabase(parsed->tree), bytes);
    std::vector<double> records(format::kMaxNodes);
    std::iota(records.begin(), records.end(), 1.0);
    EXPECT_EQ(saveSteps, records);
    std::iota(records.begin(), records.end(), 0.0);
    records.push_back(0);
    EXPECT_EQ(loadSteps, records);
}

} // namespace
} // namespace quillfen
