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
const Boxes kGood = {"80", "2", "0", "0", "4", "10", "0", "0", "10"};

// The game centres a title with spaces; the name made of it goes without them.
TEST(ReadTitle, ReadsOnlyTheTitleFieldWithoutTheSpacesAroundItUpToAZeroByte) {
    TempDir dir;
    // A file name of the tree is Windows-1252; the host spells it in UTF-8.
    const std::string path = levelFilePath(dir.path().string(), "caf\xE9.lvl");
    EXPECT_EQ(path, dir.file("caf\xC3\xA9.lvl"));
    for (std::string title : {"Tunnel Vision", "      It`s  Hero Time"}) {
        writeBytes(path, makeLevelFile(kCounts, title));
        EXPECT_EQ(*readTitle(path), title.substr(title.find_first_not_of(' ')));
    }
    // A zero byte ends the title: after "Dig" and at its start.
    for (std::size_t zero : {3, 0}) {
        auto level = makeLevelFile(kCounts, "Dig");
        level[kTitleOffset + zero] = 0;
        writeBytes(path, level);
        EXPECT_EQ(*readTitle(path), std::string("Dig", zero));
    }
}

TEST(CheckLevelFile, RefusesWhatIsNotExactly2048BytesBeginningWithAZeroByte) {
    TempDir dir;
    const std::string path = dir.file("a.lvl");
    auto level = makeLevelFile(kCounts, "Tunnel Vision"), flagged = level, longer = level;
    flagged[0] = 2;                           // another engine's format number
    longer.resize(kLevelFileSize + 400, 'x'); // another engine's text level
    using Case = std::pair<std::vector<unsigned char>, std::string>;
    for (const auto& [file, reason] : std::vector<Case>{
             {{level.begin(), level.begin() + 100}, "the file is 100 bytes long, not 2048"},
             {{}, "the file is 0 bytes long, not 2048"},
             {longer, "the file is 2448 bytes long, not 2048"},
             {flagged, "its first byte is 2, not 0"}}) {
        SCOPED_TRACE(reason);
        writeBytes(path, file);
        EXPECT_EQ(checkLevelFile(path).error(), reason);
        EXPECT_EQ(readLevel(path).error(),
                  "ERROR: a.lvl is not a Windows Lemmings level file: " + reason);
    }
    writeBytes(path, level);
    EXPECT_TRUE(checkLevelFile(path).ok());
    EXPECT_EQ(checkLevelFile(dir.file("missing.lvl")).error(), "No such file or directory");
}

TEST(ReadLevelBytes, WarnsOfNumbersTheGameDoesNotExpect) {
    auto level = makeLevelFile(kCounts, "Odd");
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

class SaveLevelInfoTest : public ::testing::Test {
protected:
    SaveLevelInfoTest() {
        // High bytes of the count words that differ from their neighbours, so that a write
        // which touches more than the counts shows.
        for (std::size_t i = 2; i < 24; i += 2)
            original[i] = static_cast<unsigned char>(0x40 + i);
        writeBytes(path, original);
    }

    // Saves `boxes` into `at` and expects the refusal `message`, the file as it was.
    void expectRefused(const Boxes& boxes, const std::string& message, std::string at = {}) {
        EXPECT_EQ(SaveLevelInfo(at.empty() ? path : at, boxes).error(), message);
        EXPECT_EQ(readBytes(path), original);
    }

    TempDir dir;
    std::string path = dir.file("level.lvl");
    std::vector<unsigned char> original = makeLevelFile({1, 1, 1, 1, 1, 1, 1, 1, 1}, "Old");
};

TEST_F(SaveLevelInfoTest, WritesExactlyTheNineCountBytesRoundingHalvesToEven) {
    EXPECT_EQ(*SaveLevelInfo(path, kGood), kLevelInfoSaved);
    for (std::size_t i = 0; i < kCountsCount; ++i)
        original[kCountOffsets[i]] = kCounts[i];
    EXPECT_EQ(readBytes(path), original);

    ASSERT_TRUE(
        SaveLevelInfo(path, {"7.5", "6.5", "255", "0.5", "1.5", "2.4", "2.6", " 12 ", "254.50"}));
    EXPECT_EQ(readLevel(path)->counts, (CountBytes{8, 6, 255, 0, 2, 2, 3, 12, 254}));
    ASSERT_TRUE(SaveLevelInfo(path, {"007", "2.5000001", ".5", "9.", "0", "0", "0", "0", "0"}));
    EXPECT_EQ(readLevel(path)->counts, (CountBytes{7, 3, 0, 9, 0, 0, 0, 0, 0}));
}

TEST_F(SaveLevelInfoTest, RefusesBeforeWritingAnything) {
    for (const char* text : {"", " ", "ten", "-1", "-0", "256", "255.5", "1e2", "1,5", "+3", "3 4",
                             ".", "0x10", "99999999999999999999"}) {
        Boxes boxes = kGood;
        boxes[8] = text; // the last box, so that a save that writes as it checks would show
        expectRefused(boxes, kBadCount);
    }
    // The file is looked for before the counts are checked.
    expectRefused({"x"}, kLevelFileNotFound, dir.file("missing.lvl"));
    std::filesystem::create_directory(dir.file("sub.lvl"));
    expectRefused(kGood, "ERROR: cannot write the level file: Is a directory", dir.file("sub.lvl"));
    original[0] = 4;
    writeBytes(path, original);
    expectRefused(kGood, notALevelFile("level.lvl", "its first byte is 4, not 0"));
    original.resize(24);
    writeBytes(path, original);
    expectRefused(kGood, notALevelFile("level.lvl", "the file is 24 bytes long, not 2048"));

    // Read-only by its mode, for root too.
    original = makeLevelFile({1, 1, 1, 1, 1, 1, 1, 1, 1}, "Old");
    writeBytes(path, original);
    std::filesystem::permissions(path, std::filesystem::perms::owner_read);
    expectRefused(kGood, "ERROR: cannot write the level file: the file is read-only");
}

} // namespace
} // namespace quillfen::levelfile
