#include "cli/run_cli.h"
#include "database/database_reader.h"
#include "editing/tree_model.h"
#include "levelfile/make_level_file.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

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

TEST_F(CliLevel, PrintsTheTitleAndTheNineCounts) {
    CliRun run = runCli({"level", path});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "{\"title\": \"Tunnel                          \", \"lemmings\": 80, "
                       "\"climbers\": 2, \"floaters\": 0, \"bombers\": 0, \"blockers\": 4, "
                       "\"builders\": 10, \"bashers\": 0, \"miners\": 0, \"diggers\": 10}\n");

    writeBytes(path, std::vector<unsigned char>(original.begin(), original.begin() + 10));
    run = runCli({"level", path});
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(
        run.out.find("\"title\": \"\", \"lemmings\": 80, \"climbers\": 2, \"floaters\": null"),
        std::string::npos)
        << run.out;

    run = runCli({"level", dir.file("missing.lvl")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "ERROR: cannot read the level file: No such file or directory\n");
}

TEST_F(CliLevel, SetWritesTheNamedCountsAndKeepsTheRest) {
    CliRun run = runCli({"level", path, "--set", "lemmings=7.5", "--set", "diggers=255"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "Level info saved\n");
    EXPECT_NE(run.out.find("\"lemmings\": 8, \"climbers\": 2"), std::string::npos) << run.out;
    auto expected = original;
    expected[3] = 8;
    expected[23] = 255;
    EXPECT_EQ(readBytes(path), expected);
}

TEST_F(CliLevel, SetRefusesAsSaveLevelInfoDoesAndWrongUsageExitsWithTwo) {
    CliRun run = runCli({"level", path, "--set", "lemmings=10", "--set", "miners=256"});
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
        auto parsed = parseDatabase(readBytes(out));
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

TEST_F(CliEdit, ARefusedCommandOrWrongUsageStopsTheRunAndWritesNothing) {
    const std::vector<std::pair<Args, std::string>> refusals = {
        {{"up", "level1"}, "cannot go any higher\n"},
        {{"delete", "level9"}, "WARNING: no node has the key 'level9'\n"},
        {{"rename", "root1", "\xC4\x89"},
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
    for (const Args& wrong : std::vector<Args>{
             {}, {"up"}, {"rename", "root1"}, {"jump", "level1"}, {"delete", "level1", "level2"}})
        EXPECT_EQ(edit(wrong).status, 2);
    EXPECT_EQ(runCli({"edit", dir.file("missing.DAT"), out, "up", "level1"}).status, 1);
    EXPECT_FALSE(std::filesystem::exists(out));
}

} // namespace
} // namespace quillfen::testing
