#include "cli/run_cli.h"
#include "database/database_reader.h"
#include "editor/tree_model.h"
#include "levelfile/make_level_file.h"
#include "levelfile/make_pack.h"
#include "temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace quillfen::testing {
namespace {

using Args = std::vector<std::string>;

class CliLevel : public ::testing::Test {
protected:
    TempDir dir;
    std::string path = dir.file("tunnel.lvl");
    std::vector<unsigned char> original = makeLevelFile({80, 2, 0, 0, 4, 10, 0, 0, 10}, "Tunnel");

    void SetUp() override { writeBytes(path, original); }
};

TEST_F(CliLevel, PrintsTheTitleTheNineCountsAndTheProblems) {
    CliRun run = runCli({"level", path});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "{\"title\": \"Tunnel                          \", \"lemmings\": 80, "
                       "\"climbers\": 2, \"floaters\": 0, \"bombers\": 0, \"blockers\": 4, "
                       "\"builders\": 10, \"bashers\": 0, \"miners\": 0, \"diggers\": 10, "
                       "\"problems\": []}\n");

    auto odd = original;
    odd[0x1B] = 9; // graphics set
    odd[0x1D] = 1; // special graphics
    odd[3] = 120;  // lemmings
    odd[5] = 121;  // to rescue
    odd[18] = 1;   // bashers' high byte
    writeBytes(path, odd);
    run = runCli({"level", path});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(
        run.out.find("\"problems\": [\"graphics set 9 is not one of the game's sets 0 to 8\", "
                     "\"special graphics 1: the Windows game draws no terrain for this level\", "
                     "\"120 lemmings, more than the game's 114\", "
                     "\"121 to rescue, more than the 120 lemmings\", "
                     "\"bashers is 256, more than 255 (the game reads only its low byte)\"]}"),
        std::string::npos)
        << run.out;

    run = runCli({"level", dir.file("missing.lvl")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "ERROR: cannot read the level file: No such file or directory\n");
}

TEST_F(CliLevel, SetWritesTheNamedCountsAndRefusesAsSaveLevelInfoDoes) {
    CliRun run = runCli({"level", path, "--set", "lemmings=7.5", "--set", "diggers=255"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "Level info saved\n");
    EXPECT_NE(run.out.find("\"lemmings\": 8, \"climbers\": 2"), std::string::npos) << run.out;
    auto expected = original;
    expected[3] = 8;
    expected[23] = 255;
    EXPECT_EQ(readBytes(path), expected);
    writeBytes(path, original);

    // A file that is no Windows level is neither shown nor written.
    auto flagged = original;
    flagged[0] = 1;
    writeBytes(path, flagged);
    for (const Args& args : {Args{"level", path}, Args{"level", path, "--set", "lemmings=50"}}) {
        run = runCli(args);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, "ERROR: tunnel.lvl is not a Windows Lemmings level file: its first "
                           "byte is 1, not 0\n");
        EXPECT_TRUE(run.out.empty()) << run.out;
        EXPECT_EQ(readBytes(path), flagged);
    }
    writeBytes(path, original);
    run = runCli({"level", path, "--set", "lemmings=10", "--set", "miners=256"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "WARNING: each count must be a number from 0 to 255; nothing was written\n");
    EXPECT_TRUE(run.out.empty());
    EXPECT_EQ(readBytes(path), original);
    run = runCli({"level", dir.file("missing.lvl"), "--set", "lemmings=1"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "cannot find level file.. make sure you selected the right folder above\n");
    for (const Args& wrong : std::vector<Args>{{"level"},
                                               {"level", path, "--set", "walkers=3"},
                                               {"level", path, "--set"},
                                               {"level", path, "lemmings=3"}})
        EXPECT_EQ(runCli(wrong).status, 2);
}

// Two levels of the sequel (graphics set 1, 5 in the Windows numbering) and one of special
// graphics between them.
std::vector<std::vector<unsigned char>> sequelLevels() {
    std::vector<std::vector<unsigned char>> levels = {
        packLevel(1, 40, "First"), packLevel(2, 50, "Picture"), packLevel(3, 120, "Third")};
    levels[0][levelfile::kGraphicsSetOffset + 1] = 1;
    levels[1][levelfile::kSpecialGraphicsOffset + 1] = 1;
    return levels;
}

TEST(CliImport, UnpacksThePackIntoLevelFilesAndPrintsThem) {
    TempDir dir;
    writeBytes(dir.file("LEVEL005.DAT"), makePack(sequelLevels()));
    std::filesystem::create_directory(dir.file("out"));
    CliRun run = runCli({"import", dir.file("LEVEL005.DAT"), "--sequel", "--to", dir.file("out")});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(
        run.out,
        "{\"pack\": \"LEVEL005.DAT\", \"levels\": [\n"
        "  {\"section\": 0, \"file\": \"LEVEL005_00.LVL\", \"reused\": false, \"title\": \"" +
            paddedTitle("First") +
            "\", \"lemmings\": 40, \"climbers\": 0, \"floaters\": 0, \"bombers\": 0, "
            "\"blockers\": 0, \"builders\": 0, \"bashers\": 0, \"miners\": 0, \"diggers\": 0, "
            "\"problems\": []},\n"
            "  {\"section\": 2, \"file\": \"LEVEL005_02.LVL\", \"reused\": false, \"title\": \"" +
            paddedTitle("Third") +
            "\", \"lemmings\": 120, \"climbers\": 0, \"floaters\": 0, \"bombers\": 0, "
            "\"blockers\": 0, \"builders\": 0, \"bashers\": 0, \"miners\": 0, \"diggers\": 0, "
            "\"problems\": [\"120 lemmings, more than the game's 114\"]}], \"skipped\": [\n"
            "  {\"section\": 1, \"reason\": \"special graphics 1: the Windows game draws no "
            "terrain for it\"}]}\n");
    EXPECT_EQ(readBytes(dir.file("out/LEVEL005_00.LVL"))[levelfile::kGraphicsSetOffset + 1], 6);
    // A second run finds the same files and keeps them.
    run = runCli({"import", dir.file("LEVEL005.DAT"), "--sequel", "--to", dir.file("out")});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("\"reused\": true"), std::string::npos);

    std::vector<unsigned char> damaged = makePack(sequelLevels());
    damaged[1] ^= 1; // the first section's checksum
    writeBytes(dir.file("BAD.DAT"), damaged);
    run = runCli({"import", dir.file("BAD.DAT"), "--to", dir.file("out")});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("ERROR: cannot import BAD.DAT: section 00 (at byte 0): its checksum"),
              std::string::npos)
        << run.err;
    for (const Args& wrong :
         std::vector<Args>{{"import", dir.file("BAD.DAT")},
                           {"import", dir.file("BAD.DAT"), dir.file("out")},
                           {"import", dir.file("BAD.DAT"), "--sequel", dir.file("out")}})
        EXPECT_EQ(runCli(wrong).status, 2);
}

// A FIFO, a device or a socket is no database and no level file: each command refuses it at
// once instead of waiting for a writer that never comes.
TEST(CliNotAFile, EveryReaderRefusesAFifoAndADeviceWithoutWaiting) {
    TempDir dir;
    std::string fifo = dir.file("pipe.lvl");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    std::string zero = dir.file("zero.DAT");
    std::filesystem::create_symlink("/dev/zero", zero);
    std::string demo = dir.file("DEMO.DAT");
    ASSERT_EQ(runCli({"demo", demo}).status, 0);
    for (const std::string& node : {fifo, zero}) {
        const std::string refused = "ERROR: " + node + " is not a file\n";
        for (const Args& args : std::vector<Args>{{"show", node},
                                                  {"check", node},
                                                  {"rewrite", node, dir.file("OUT.DAT")},
                                                  {"level", node},
                                                  {"level", node, "--set", "lemmings=1"},
                                                  {"edit", node, dir.file("OUT.DAT"), "up", "x"}}) {
            SCOPED_TRACE(args[0] + " " + node);
            CliRun run = runCli(args);
            EXPECT_EQ(run.status, 1);
            EXPECT_EQ(run.err, refused);
        }
        CliRun added = runCli({"edit", demo, dir.file("OUT.DAT"), "add-level", "parent1", node});
        EXPECT_EQ(added.status, 1);
        EXPECT_NE(added.err.find("WARNING: could not read"), std::string::npos) << added.err;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("OUT.DAT")));
    EXPECT_EQ(std::filesystem::status(fifo).type(), std::filesystem::file_type::fifo);
}

// Three sets in two groups: the first set added gets parent4, the first level level5.
const ProfileSpec kThreeSets = {
    {"CUSTOM LEVELS",
     "CUST",
     {{"EASY", {{"A", "a.lvl"}, {"B", "b.lvl"}}}, {"HARD", {{"C", "c.lvl"}}}}},
    {"MORE", "MORE", {{"ONE", {{"D", "d.lvl"}}}}},
};

class CliEdit : public ::testing::Test {
protected:
    TempDir dir;
    std::string in = dir.file("USER.DAT");
    std::string out = dir.file("OUT.DAT");

    void SetUp() override { writeBytes(in, profileBytes(kThreeSets)); }

    CliRun edit(const Args& commands) {
        Args args = {"edit", in, out};
        args.insert(args.end(), commands.begin(), commands.end());
        return runCli(args);
    }

    // OUT loaded again, printed without keys.
    std::string saved() {
        auto parsed = ParseDatabaseFile(readBytes(out));
        EXPECT_TRUE(parsed.ok()) << parsed.error();
        std::string text;
        for (int i = 1; parsed && i <= parsed->tree.count(); ++i) {
            const LevelTree::Node* n = parsed->tree.item(i);
            text += n->text();
            if (n->kind() == NodeKind::Group)
                text.append(" [").append(parsed->tree.groupFolders(i)).append("]");
            if (n->kind() == NodeKind::Level)
                text.append(" [").append(parsed->tree.levelFiles(i)).append("]");
            text += n->kind() == NodeKind::Level ? "; " : "\n";
        }
        return text;
    }
};

TEST_F(CliEdit, RunsTheCommandsInOrderWithTheKeysTheyIssue) {
    std::string level = dir.file("new.lvl");
    writeBytes(level, makeLevelFile({}, "New One"));
    CliRun run = edit({"add-set",   "root2",   "Caf\xC3\xA9 \xE2\x82\xAC",
                       "add-level", "parent4", level,
                       "add-level", "parent4", level,
                       "up",        "level6",  "down",
                       "level1",    "rename",  "level5",
                       "First",     "folder",  "root1",
                       "LEVELS",    "file",    "level2",
                       "bee.lvl",   "delete",  "parent2",
                       "add-group", "EXTRA",   "XTRA",
                       "add-set",   "root3",   "LATER"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "1 level(s) added to 'Caf\xC3\xA9 \xE2\x82\xAC'\n"
                       "1 level(s) added to 'Caf\xC3\xA9 \xE2\x82\xAC'\n"
                       "Group's source folder has been updated\n"
                       "Levels source file has been updated\n");
    EXPECT_EQ(saved(), "CUSTOM LEVELS [LEVELS]\nEASY\nB [bee.lvl]; A [a.lvl]; "
                       "MORE [MORE]\nONE\nD [d.lvl]; "
                       "Caf\xE9 \x80\n" +
                           paddedTitle("New One") +
                           " [new.lvl]; First [new.lvl]; "
                           "EXTRA [XTRA]\nLATER\n");
}

TEST_F(CliEdit, UndoAndRedoTakeBackAndMakeAgainWhatTheCommandsDid) {
    ASSERT_EQ(edit({"rename", "root1", "X", "up", "level2"}).status, 0);
    const auto expected = readBytes(out);
    CliRun run = edit({"delete", "root1", "rename", "root2", "Y", "undo", "undo", "rename", "root1",
                       "X", "up", "level2", "undo", "redo"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readBytes(out), expected);
}

TEST_F(CliEdit, ImportPackWritesTheLevelFilesAndAddsThemToTheSetInOneStep) {
    writeBytes(dir.file("DLVEL001.DAT"), makePack(sequelLevels()));
    std::string levels = dir.file("levels");
    std::filesystem::create_directory(levels);
    CliRun run = edit({"import-pack", "parent3", dir.file("DLVEL001.DAT"), levels, "rename",
                       "level5", "Renamed"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("skip: section 01"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("\n2 level(s) added to 'ONE'\n"), std::string::npos) << run.err;
    EXPECT_EQ(saved(), "CUSTOM LEVELS [CUST]\nEASY\nA [a.lvl]; B [b.lvl]; HARD\nC [c.lvl]; "
                       "MORE [MORE]\nONE\nD [d.lvl]; Renamed [DLVEL001_00.LVL]; " +
                           paddedTitle("Third") + " [DLVEL001_02.LVL]; ");
    EXPECT_EQ(readBytes(levels + "/DLVEL001_00.LVL")[levelfile::kGraphicsSetOffset + 1], 6);

    // A file of the same name with another level stops the run before anything is written.
    std::filesystem::remove(out);
    std::filesystem::remove(levels + "/DLVEL001_00.LVL");
    writeBytes(levels + "/DLVEL001_02.LVL", makeLevelFile({}, "Mine"));
    run = edit({"import-pack", "parent3", dir.file("DLVEL001.DAT"), "--sequel", levels});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("ERROR: DLVEL001_02.LVL is already in the folder and holds another "
                           "level; nothing was written\n"),
              std::string::npos)
        << run.err;
    EXPECT_FALSE(std::filesystem::exists(levels + "/DLVEL001_00.LVL"));
    EXPECT_FALSE(std::filesystem::exists(out));
}

TEST_F(CliEdit, ARefusedCommandOrWrongUsageStopsTheRunAndWritesNothing) {
    const std::vector<std::pair<Args, std::string>> refusals = {
        {{"up", "level1"}, "cannot go any higher\n"},
        {{"redo"}, "there is nothing to redo\n"},
        {{"delete", "level9"}, "WARNING: no node has the key 'level9'\n"},
        {{"rename", "root1", "\xC4\x89"},
         "WARNING: the text holds characters that cannot be stored\n"},
        // An overlong NUL or "A" is no character: a NUL would end the name in the record.
        {{"rename", "root1",
          "AB\xC0\x80"
          "CD"},
         "WARNING: the text holds characters that cannot be stored\n"},
        {{"folder", "root1", "\xC1\x81"},
         "WARNING: the text holds characters that cannot be stored\n"},
        {{"add-level", "parent1", dir.file("missing.lvl")},
         "0 level(s) added to 'EASY'\nWARNING: could not read missing.lvl\n"},
    };
    for (const auto& [commands, message] : refusals) {
        SCOPED_TRACE(commands[0]);
        Args run = {"rename", "root1", "FIRST"};
        run.insert(run.end(), commands.begin(), commands.end());
        run.insert(run.end(), {"rename", "root2", "NEVER"});
        CliRun result = edit(run);
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.err, message);
        EXPECT_FALSE(std::filesystem::exists(out));
    }
    // Wrong usage is refused before the file is read.
    for (const Args& wrong : std::vector<Args>{{},
                                               {"up"},
                                               {"rename", "root1"},
                                               {"jump", "level1"},
                                               {"delete", "level1", "level2"},
                                               {"import-pack", "parent1", "P.DAT", "--sequel"}})
        EXPECT_EQ(edit(wrong).status, 2);
    EXPECT_EQ(runCli({"edit", dir.file("missing.DAT"), out, "up", "level1"}).status, 1);
    EXPECT_FALSE(std::filesystem::exists(out));
}

} // namespace
} // namespace quillfen::testing
