#include "database/database_check.h"
#include "database/database_format.h"
#include "database/database_reader.h"
#include "database/database_writer.h"

#include <gtest/gtest.h>
#include <numeric>
#include <random>

namespace quillfen {
namespace {

using R = LevelTree::Relationship;

// Texts of any non-zero byte, of any length up to a little past the field.
std::string randomText(std::mt19937& rng, std::size_t width) {
    std::uniform_int_distribution<std::size_t> length(0, width + 3);
    std::uniform_int_distribution<int> byte(1, 255);
    std::string text(length(rng), ' ');
    for (char& c : text)
        c = static_cast<char>(byte(rng));
    return text;
}

LevelTree randomTree(std::mt19937& rng) {
    LevelTree tree;
    std::uniform_int_distribution<int> few(0, 4);
    int groups = 1 + few(rng), s = 0, l = 0;
    for (int g = 1; g <= groups; ++g) {
        auto* group = tree.add(nullptr, R::Last, "root" + std::to_string(g), randomText(rng, 40));
        tree.setGroupFolders(group->index(), randomText(rng, 68));
        for (int si = few(rng); si > 0; --si) {
            auto* set =
                tree.add(group, R::Child, "parent" + std::to_string(++s), randomText(rng, 108));
            for (int li = few(rng) * few(rng); li > 0; --li) {
                auto* level =
                    tree.add(set, R::Child, "level" + std::to_string(++l), randomText(rng, 40));
                tree.setLevelFiles(level->index(), randomText(rng, 38));
            }
        }
    }
    return tree;
}

TEST(RoundTrip, ARandomTreeSavedLoadedAndSavedGivesTheSameBytes) {
    std::mt19937 rng(20261206);
    for (int round = 0; round < 300; ++round) {
        std::vector<unsigned char> first = encodeDatabase(randomTree(rng));
        ASSERT_TRUE(checkDatabaseFile(first).empty()) << "round " << round;
        auto parsed = ParseDatabaseFile(first);
        ASSERT_TRUE(parsed) << parsed.error();
        ASSERT_EQ(encodeDatabase(parsed->tree), first) << "round " << round;
    }
}

// One group of sets of 300 levels (a count past one byte), up to the most nodes a tree holds.
LevelTree largestTree() {
    LevelTree tree;
    auto* g = tree.add(nullptr, R::Last, "root1", "G");
    int l = 0;
    for (int s = 1; tree.count() < format::kMaxNodes; ++s) {
        auto* set = tree.add(g, R::Child, "parent" + std::to_string(s), "S");
        for (int k = 0; k < 300 && tree.count() < format::kMaxNodes; ++k)
            tree.add(set, R::Child, "level" + std::to_string(++l), "L");
    }
    return tree;
}

// The save and the load report one step a record, the load ending at zero.
TEST(RoundTrip, TheLargestTreeIsWellFormedAndLoadsAgainReportingEachRecord) {
    std::vector<double> saveSteps, loadSteps;
    auto steps = [](std::vector<double>& values) {
        return [&values](double value, double maximum) {
            EXPECT_EQ(maximum, format::kMaxNodes);
            values.push_back(value);
        };
    };
    auto bytes = encodeDatabase(largestTree(), steps(saveSteps));
    EXPECT_EQ(bytes.size(), 499921u);
    // Among others, the record indexes and the level counts past 255.
    EXPECT_TRUE(checkDatabaseFile(bytes).empty());
    auto parsed = ParseDatabaseFile(bytes, steps(loadSteps));
    ASSERT_TRUE(parsed) << parsed.error();
    EXPECT_EQ(parsed->tree.count(), format::kMaxNodes);
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
