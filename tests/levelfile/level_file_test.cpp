#include "database/scripted_user_interface.h"
#include "levelfile/level_file.h"
#include "levelfile/make_level_file.h"
#include "temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

namespace quillfen::levelfile {
namespace {

using testing::CountBytes;
using testing::makeLevelFile;
using testing::readBytes;
using testing::TempDir;
using testing::writeBytes;

using Boxes = std::array<std::string, kCountsCount>;

const CountBytes kCounts = {80, 2, 0, 0, 4, 10, 0, 0, 10};

Counts known(const CountBytes& bytes) {
    Counts counts;
    for (std::size_t i = 0; i < bytes.size(); ++i)
        counts[i] = bytes[i];
    return counts;
}

std::vector<unsigned char> prefix(const std::vector<unsigned char>& bytes, std::size_t size) {
    return {bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size)};
}

TEST(LevelFilePath, JoinsTheFolderAndTheHostSpellingOfTheName) {
    EXPECT_EQ(levelFilePath("/home/p/levels", "tunnel.lvl"), "/home/p/levels/tunnel.lvl");
    // A folder ending in the separator still gets one, as the game's editor joined them.
    EXPECT_EQ(levelFilePath("/", "a.lvl"), "//a.lvl");
    EXPECT_EQ(levelFilePath("/l", "caf\xE9.lvl"), "/l/caf\xC3\xA9.lvl");
}

TEST(ReadCounts, ReadsTheNineCountsOfALevelFile) {
    TempDir dir;
    writeBytes(dir.file("a.lvl"), makeLevelFile(kCounts, "Tunnel Vision"));
    auto counts = readCounts(dir.file("a.lvl"));
    ASSERT_TRUE(counts.ok()) << counts.error();
    EXPECT_EQ(*counts, known(kCounts));
}

TEST(ReadCounts, GivesOnlyTheCountsThatLieInsideAShortFile) {
    TempDir dir;
    // 12 bytes hold offsets 3, 9 and 11: the lemmings, climbers and floaters.
    writeBytes(dir.file("short.lvl"), prefix(makeLevelFile(kCounts, ""), 12));
    auto counts = readCounts(dir.file("short.lvl"));
    ASSERT_TRUE(counts.ok());
    Counts expected;
    expected[0] = 80;
    expected[1] = 2;
    expected[2] = 0;
    EXPECT_EQ(*counts, expected);

    writeBytes(dir.file("empty.lvl"), {});
    auto none = readCounts(dir.file("empty.lvl"));
    ASSERT_TRUE(none.ok());
    EXPECT_EQ(*none, Counts{});
}

TEST(ReadCounts, RefusesAFolderAndAMissingFile) {
    TempDir dir;
    std::filesystem::create_directory(dir.file("sub.lvl"));
    EXPECT_FALSE(readCounts(dir.file("sub.lvl")).ok());
    EXPECT_FALSE(readCounts(dir.file("missing.lvl")).ok());
    // An empty file name names the folder itself.
    EXPECT_FALSE(readCounts(levelFilePath(dir.path().string(), "")).ok());
}

TEST(ReadTitle, KeepsTheSpacesAndStopsAtTheEndOfTheFile) {
    TempDir dir;
    writeBytes(dir.file("a.lvl"), makeLevelFile(kCounts, "Tunnel Vision"));
    auto title = readTitle(dir.file("a.lvl"));
    ASSERT_TRUE(title.ok()) << title.error();
    EXPECT_EQ(*title, testing::paddedTitle("Tunnel Vision"));
}

TEST(ReadTitle, StopsAtAZeroByteAndAfter255Bytes) {
    TempDir dir;
    auto bytes = makeLevelFile(kCounts, "Dig");
    bytes[kTitleOffset + 3] = 0;
    writeBytes(dir.file("zero.lvl"), bytes);
    EXPECT_EQ(*readTitle(dir.file("zero.lvl")), "Dig");

    bytes[kTitleOffset] = 0;
    writeBytes(dir.file("untitled.lvl"), bytes);
    EXPECT_EQ(*readTitle(dir.file("untitled.lvl")), "");

    std::vector<unsigned char> longer(kTitleOffset + 400, 'x');
    writeBytes(dir.file("long.lvl"), longer);
    EXPECT_EQ(*readTitle(dir.file("long.lvl")), std::string(kTitleLimit, 'x'));

    writeBytes(dir.file("short.lvl"), prefix(bytes, 100));
    EXPECT_EQ(*readTitle(dir.file("short.lvl")), "");
}

TEST(ReadTitle, RefusesWhatCannotBeRead) {
    TempDir dir;
    std::filesystem::create_directory(dir.file("sub.lvl"));
    EXPECT_FALSE(readTitle(dir.file("sub.lvl")).ok());
    EXPECT_FALSE(readTitle(dir.file("missing.lvl")).ok());
}

class SaveLevelInfoTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string path = dir.file("level.lvl");
    std::vector<unsigned char> original = makeLevelFile({1, 1, 1, 1, 1, 1, 1, 1, 1}, "Old");
    ScriptedUserInterface ui;

    void SetUp() override { writeBytes(path, original); }

    // Saves and expects the refusal `message` with the file as it was.
    void expectRefused(const Boxes& boxes, const std::string& message) {
        ui.messages.clear();
        EXPECT_FALSE(SaveLevelInfo(path, boxes, ui));
        EXPECT_EQ(ui.messages, std::vector<std::string>{message});
        EXPECT_EQ(readBytes(path), original);
    }
};

TEST_F(SaveLevelInfoTest, WritesExactlyTheNineCountBytes) {
    ASSERT_TRUE(SaveLevelInfo(path, {"80", "2", "0", "0", "4", "10", "0", "0", "10"}, ui));
    EXPECT_EQ(ui.messages, std::vector<std::string>{"Level info saved"});
    auto expected = original;
    for (std::size_t i = 0; i < kCountsCount; ++i)
        expected[kCountOffsets[i]] = kCounts[i];
    EXPECT_EQ(readBytes(path), expected);
    EXPECT_EQ(*readCounts(path), known(kCounts));
}

TEST_F(SaveLevelInfoTest, RoundsHalvesToTheEvenNeighbour) {
    ASSERT_TRUE(SaveLevelInfo(
        path, {"7.5", "6.5", "255", "0.5", "1.5", "2.4", "2.6", " 12 ", "254.50"}, ui));
    Counts expected = known({8, 6, 255, 0, 2, 2, 3, 12, 254});
    EXPECT_EQ(*readCounts(path), expected);
    ASSERT_TRUE(SaveLevelInfo(path, {"007", "2.5000001", ".5", "9.", "0", "0", "0", "0", "0"}, ui));
    EXPECT_EQ(*readCounts(path), known({7, 3, 0, 9, 0, 0, 0, 0, 0}));
}

TEST_F(SaveLevelInfoTest, RefusesTheWholeSaveForOneBadCount) {
    const std::string bad =
        "WARNING: each count must be a number from 0 to 255; nothing was written";
    for (const char* text : {"", " ", "ten", "-1", "-0", "256", "255.5", "1e2", "1,5", "+3", "3 4",
                             ".", "0x10", "99999999999999999999"}) {
        SCOPED_TRACE(text);
        Boxes boxes = {"80", "2", "0", "0", "4", "10", "0", "0", "10"};
        boxes[8] = text; // the last box, so that a save that writes as it checks would show
        expectRefused(boxes, bad);
    }
}

TEST_F(SaveLevelInfoTest, RefusesWhenNoFileIsAtThePath) {
    const std::string notFound =
        "cannot find level file.. make sure you selected the right folder above";
    const std::string folder = dir.path().string();
    Boxes good = {"80", "2", "0", "0", "4", "10", "0", "0", "10"};
    // A missing file, an empty file name (the path ends in the separator), and a missing file
    // with bad counts: the file is looked for before the counts are checked.
    for (const auto& [missing, boxes] :
         {std::pair{levelFilePath(folder, "missing.lvl"), good},
          std::pair{levelFilePath(folder, ""), good},
          std::pair{levelFilePath(folder, "missing.lvl"), Boxes{"x"}}}) {
        SCOPED_TRACE(missing);
        ui.messages.clear();
        EXPECT_FALSE(SaveLevelInfo(missing, boxes, ui));
        EXPECT_EQ(ui.messages, std::vector<std::string>{notFound});
    }
    EXPECT_EQ(std::filesystem::directory_iterator(dir.path())->path().string(), path);
    EXPECT_EQ(readBytes(path), original);
}

TEST_F(SaveLevelInfoTest, RefusesAFolderAndAFileTooShortForTheCounts) {
    Boxes good = {"80", "2", "0", "0", "4", "10", "0", "0", "10"};
    std::filesystem::create_directory(dir.file("sub.lvl"));
    EXPECT_FALSE(SaveLevelInfo(dir.file("sub.lvl"), good, ui));
    EXPECT_EQ(ui.messages,
              std::vector<std::string>{"ERROR: cannot write the level file: Is a directory"});

    original = prefix(original, 23);
    writeBytes(path, original);
    expectRefused(good,
                  "ERROR: cannot write the level file: the file is 23 bytes long, shorter than 24");

    // 24 bytes are enough, and the length stays.
    original = prefix(makeLevelFile(kCounts, ""), 24);
    writeBytes(path, original);
    ASSERT_TRUE(SaveLevelInfo(path, {"9", "9", "9", "9", "9", "9", "9", "9", "9"}, ui));
    EXPECT_EQ(readBytes(path).size(), 24u);
    EXPECT_EQ(*readCounts(path), known({9, 9, 9, 9, 9, 9, 9, 9, 9}));
}

TEST_F(SaveLevelInfoTest, RefusesAFileThatCannotBeOpenedForWriting) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root may write a read-only file";
    std::filesystem::permissions(path, std::filesystem::perms::owner_read);
    expectRefused({"80", "2", "0", "0", "4", "10", "0", "0", "10"},
                  "ERROR: cannot write the level file: Permission denied");
}

} // namespace
} // namespace quillfen::levelfile
