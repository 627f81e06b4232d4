#include "levelfile/level_file.h"
#include "levelfile/make_level_file.h"
#include "scripted_user_interface.h"
#include "temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

namespace quillfen::levelfile {
namespace {

using testing::CountBytes;
using testing::makeLevelFile;
using testing::paddedTitle;
using testing::readBytes;
using testing::TempDir;
using testing::writeBytes;

using Boxes = std::array<std::string, kCountsCount>;

const CountBytes kCounts = {80, 2, 0, 0, 4, 10, 0, 0, 10};
const Boxes kGood = {"80", "2", "0", "0", "4", "10", "0", "0", "10"};

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

TEST(ReadCounts, ReadsTheCountsThatLieInsideTheFile) {
    TempDir dir;
    auto bytes = makeLevelFile(kCounts, "Tunnel Vision");
    Counts shortCounts; // 12 bytes hold offsets 3, 9 and 11: the lemmings, climbers, floaters
    shortCounts[0] = 80;
    shortCounts[1] = 2;
    shortCounts[2] = 0;
    for (const auto& [size, expected] :
         {std::pair{bytes.size(), known(kCounts)}, std::pair{std::size_t{12}, shortCounts},
          std::pair{std::size_t{0}, Counts{}}}) {
        writeBytes(dir.file("a.lvl"), prefix(bytes, size));
        auto counts = readCounts(dir.file("a.lvl"));
        ASSERT_TRUE(counts.ok()) << counts.error();
        EXPECT_EQ(*counts, expected) << size;
    }
}

TEST(ReadTitle, ReadsOnlyTheTitleFieldKeepingItsSpacesUpToAZeroByte) {
    TempDir dir;
    auto zero = makeLevelFile(kCounts, "Dig");
    zero[kTitleOffset + 3] = 0;
    auto untitled = zero;
    untitled[kTitleOffset] = 0;
    auto centred = makeLevelFile(kCounts, "      It`s Hero Time");
    using Case = std::pair<std::vector<unsigned char>, std::string>;
    for (const auto& [file, title] :
         std::vector<Case>{{makeLevelFile(kCounts, "Tunnel Vision"), paddedTitle("Tunnel Vision")},
                           {centred, paddedTitle("      It`s Hero Time")},
                           {zero, "Dig"},
                           {untitled, ""}}) {
        writeBytes(dir.file("a.lvl"), file);
        auto read = readTitle(dir.file("a.lvl"));
        ASSERT_TRUE(read.ok()) << read.error();
        EXPECT_EQ(*read, title);
    }
}

TEST(CheckLevelFile, RefusesWhatIsNotExactly2048BytesBeginningWithAZeroByte) {
    TempDir dir;
    auto level = makeLevelFile(kCounts, "Tunnel Vision");
    auto flagged = level;
    flagged[0] = 2; // another engine's format number
    auto longer = level;
    longer.resize(kLevelFileSize + 400, 'x'); // a text level: no title is read past the field
    using Case = std::pair<std::vector<unsigned char>, std::string>;
    for (const auto& [file, reason] :
         std::vector<Case>{{prefix(level, 100), "the file is 100 bytes long, not 2048"},
                           {{}, "the file is 0 bytes long, not 2048"},
                           {longer, "the file is 2448 bytes long, not 2048"},
                           {flagged, "its first byte is 2, not 0"}}) {
        SCOPED_TRACE(reason);
        writeBytes(dir.file("a.lvl"), file);
        EXPECT_EQ(checkLevelFile(dir.file("a.lvl")).error(), reason);
        EXPECT_EQ(readTitle(dir.file("a.lvl")).error(), reason);
        EXPECT_EQ(readLevel(dir.file("a.lvl")).error(),
                  "ERROR: a.lvl is not a Windows Lemmings level file: " + reason);
    }
    writeBytes(dir.file("a.lvl"), level);
    EXPECT_TRUE(checkLevelFile(dir.file("a.lvl")).ok());
    auto read = readLevel(dir.file("a.lvl"));
    ASSERT_TRUE(read.ok()) << read.error();
    EXPECT_EQ(read->counts, kCounts);
    EXPECT_TRUE(read->problems.empty());
    EXPECT_EQ(checkLevelFile(dir.file("missing.lvl")).error(), "No such file or directory");
}

TEST(ReadLevelBytes, WarnsOfNumbersTheGameDoesNotExpect) {
    auto level = makeLevelFile(kCounts, "Odd");
    EXPECT_TRUE(readLevelBytes(level)->problems.empty());
    level[kGraphicsSetOffset] = 1; // a high byte: set 256
    level[kSpecialGraphicsOffset + 1] = 2;
    level[3] = 114; // the most lemmings the game's own levels hold: no problem
    level[5] = 115;
    level[6] = 1; // time 261
    EXPECT_EQ(readLevelBytes(level)->problems,
              (std::vector<std::string>{
                  "graphics set 256 is not one of the game's sets 0 to 8",
                  "special graphics 2: the Windows game draws no terrain for this level",
                  "115 to rescue, more than the 114 lemmings",
                  "time is 261, more than 255 (the game reads only its low byte)"}));
}

TEST(ReadCountsAndTitle, RefuseAFolderAndAMissingFile) {
    TempDir dir;
    std::filesystem::create_directory(dir.file("sub.lvl"));
    for (const std::string& path :
         {dir.file("sub.lvl"), dir.file("missing.lvl"), levelFilePath(dir.path().string(), "")}) {
        EXPECT_FALSE(readCounts(path).ok()) << path;
        EXPECT_FALSE(readTitle(path).ok()) << path;
    }
}

class SaveLevelInfoTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string path = dir.file("level.lvl");
    std::vector<unsigned char> original = makeLevelFile({1, 1, 1, 1, 1, 1, 1, 1, 1}, "Old");
    ScriptedUserInterface ui;

    void SetUp() override {
        // High bytes of the count words that differ from their neighbours, so that a write
        // which touches more than the counts shows.
        for (std::size_t i = 2; i < 24; i += 2)
            original[i] = static_cast<unsigned char>(0x40 + i);
        writeBytes(path, original);
    }

    // Saves and expects the refusal `message` with the file as it was.
    void expectRefused(const Boxes& boxes, const std::string& message) {
        ui.messages.clear();
        EXPECT_FALSE(SaveLevelInfo(path, boxes, ui));
        EXPECT_EQ(ui.messages, std::vector<std::string>{message});
        EXPECT_EQ(readBytes(path), original);
    }
};

TEST_F(SaveLevelInfoTest, WritesExactlyTheNineCountBytes) {
    ASSERT_TRUE(SaveLevelInfo(path, kGood, ui));
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
        Boxes boxes = kGood;
        boxes[8] = text; // the last box, so that a save that writes as it checks would show
        expectRefused(boxes, bad);
    }
}

TEST_F(SaveLevelInfoTest, RefusesWhenNoFileIsAtThePath) {
    const std::string notFound =
        "cannot find level file.. make sure you selected the right folder above";
    const std::string folder = dir.path().string();
    // A missing file, an empty file name (the path ends in the separator), and a missing file
    // with bad counts: the file is looked for before the counts are checked.
    for (const auto& [missing, boxes] :
         {std::pair{levelFilePath(folder, "missing.lvl"), kGood},
          std::pair{levelFilePath(folder, ""), kGood},
          std::pair{levelFilePath(folder, "missing.lvl"), Boxes{"x"}}}) {
        SCOPED_TRACE(missing);
        ui.messages.clear();
        EXPECT_FALSE(SaveLevelInfo(missing, boxes, ui));
        EXPECT_EQ(ui.messages, std::vector<std::string>{notFound});
    }
    EXPECT_EQ(std::filesystem::directory_iterator(dir.path())->path().string(), path);
    EXPECT_EQ(readBytes(path), original);
}

TEST_F(SaveLevelInfoTest, RefusesAFolderAndAFileThatIsNotAWindowsLevel) {
    std::filesystem::create_directory(dir.file("sub.lvl"));
    EXPECT_FALSE(SaveLevelInfo(dir.file("sub.lvl"), kGood, ui));
    EXPECT_EQ(ui.messages,
              std::vector<std::string>{"ERROR: cannot write the level file: Is a directory"});

    auto level = original;
    original = prefix(level, 24);
    writeBytes(path, original);
    expectRefused(kGood, "ERROR: level.lvl is not a Windows Lemmings level file: the file is 24 "
                         "bytes long, not 2048");
    original = level;
    original[0] = 4;
    writeBytes(path, original);
    expectRefused(kGood, "ERROR: level.lvl is not a Windows Lemmings level file: its first byte "
                         "is 4, not 0");
}

TEST_F(SaveLevelInfoTest, RefusesAFileThatCannotBeOpenedForWriting) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root may write a read-only file";
    std::filesystem::permissions(path, std::filesystem::perms::owner_read);
    expectRefused(kGood, "ERROR: cannot write the level file: Permission denied");
}

} // namespace
} // namespace quillfen::levelfile
