#include "cli/run_cli.h"
#include "editor/tree_model.h"
#include "host/file_io.h"
#include "levelfile/make_level_file.h"
#include "levelfile/make_pack.h"
#include "temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>

namespace quillfen::testing {
namespace {

using Args = std::vector<std::string>;

// The counts printed are read back from the file: those not named keep what it held.
TEST(CliLevel, SetWritesTheNamedCountsAndPrintsThemOrWritesNothing) {
    TempDir dir;
    std::string path = dir.file("tunnel.lvl");
    writeBytes(path, makeLevelFile({80, 2, 0, 0, 4, 10, 0, 0, 10}, "Tunnel"));
    CliRun run = runCli({"level", path, "--set", "lemmings=79.5", "--set", "diggers=255"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "Level info saved\n");
    EXPECT_EQ(run.out, "{\"title\": \"Tunnel\", \"lemmings\": 80, "
                       "\"climbers\": 2, \"floaters\": 0, \"bombers\": 0, \"blockers\": 4, "
                       "\"builders\": 10, \"bashers\": 0, \"miners\": 0, \"diggers\": 255, "
                       "\"problems\": []}\n");

    run = runCli({"level", path, "--set", "lemmings=10", "--set", "miners=256"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "WARNING: each count must be a number from 0 to 255; nothing was written\n");
    EXPECT_TRUE(run.out.empty());
    EXPECT_EQ(runCli({"level", path, "--set", "walkers=3"}).status, 2);
    // The tool's own words for a file that is not there, which name it.
    run = runCli({"level", dir.file("missing.lvl"), "--set", "lemmings=10"});
    EXPECT_EQ(run.err, "ERROR: cannot read the level file " + dir.file("missing.lvl") +
                           ": No such file or directory\n");
}

// A pack of the sequel: a level of its graphics set 1 (the Windows game's 6), one of special
// graphics, and one whose counts the game does not expect.
std::vector<unsigned char> sequelPack() {
    std::vector<std::vector<unsigned char>> levels = {
        packLevel(1, 40, "First"), packLevel(2, 50, "Picture"), packLevel(3, 120, "Third")};
    levels[0][levelfile::kGraphicsSetOffset + 1] = 1;
    levels[1][levelfile::kSpecialGraphicsOffset + 1] = 1;
    levels[2][5] = 121; // to rescue
    return makePack(levels);
}

TEST(CliImport, UnpacksThePackIntoLevelFilesAndPrintsThem) {
    TempDir dir;
    writeBytes(dir.file("LEVEL005.DAT"), sequelPack());
    std::filesystem::create_directory(dir.file("out"));
    const Args import = {"import", dir.file("LEVEL005.DAT"), "--sequel", "--to", dir.file("out")};
    CliRun run = runCli(import);
    EXPECT_EQ(run.status, 0) << run.err;
    const std::string skills = "\"climbers\": 0, \"floaters\": 0, \"bombers\": 0, \"blockers\": 0, "
                               "\"builders\": 0, \"bashers\": 0, \"miners\": 0, \"diggers\": 0, ";
    EXPECT_EQ(run.out, "{\"pack\": \"LEVEL005.DAT\", \"levels\": [\n  {\"section\": 0, \"file\": "
                       "\"LEVEL005_00.LVL\", \"reused\": false, \"title\": \"First\", "
                       "\"lemmings\": 40, " +
                           skills +
                           "\"problems\": []},\n  {\"section\": 2, \"file\": \"LEVEL005_02.LVL\", "
                           "\"reused\": false, \"title\": \"Third\", \"lemmings\": 120, " +
                           skills +
                           "\"problems\": [\"120 lemmings, more than the game's 114\", \"121 to "
                           "rescue, more than the 120 lemmings\"]}], \"skipped\": [\n  "
                           "{\"section\": 1, \"reason\": \"special graphics 1: the Windows game "
                           "draws no terrain for it\"}]}\n");
    EXPECT_EQ(readBytes(dir.file("out/LEVEL005_00.LVL"))[levelfile::kGraphicsSetOffset + 1], 6);
    // A second run finds the same files and keeps them.
    run = runCli(import);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("\"reused\": true"), std::string::npos);

    EXPECT_EQ(runCli({"import", dir.file("LEVEL005.DAT")}).status, 2); // no --to
}

// A FIFO or a device is no database, level file or pack: each command refuses it at once, in
// one message, instead of waiting for a writer that never comes.
TEST(CliNotAFile, EveryReaderRefusesAFifoAndADeviceWithoutWaiting) {
    TempDir dir;
    std::string fifo = dir.file("pipe.lvl");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    std::string zero = dir.file("zero.DAT");
    std::filesystem::create_symlink("/dev/zero", zero);
    for (const std::string& node : {fifo, zero}) {
        // The profile's two readers (the Editor's and check's), the level file's two, the pack's.
        for (const Args& args : std::vector<Args>{{"show", node},
                                                  {"check", node},
                                                  {"level", node},
                                                  {"level", node, "--set", "lemmings=1"},
                                                  {"import", node, "--to", dir.path().string()}}) {
            SCOPED_TRACE(args[0] + " " + node);
            CliRun run = runCli(args);
            EXPECT_EQ(run.status, 1);
            EXPECT_EQ(run.err, "ERROR: " + node + " is not a file\n");
        }
    }
    // A profile's file, as load finds it through the prefix's drive C:.
    const std::string prefix = dir.file("prefix"), users = "/LEMM/USERS/ALICE.DAT";
    ASSERT_EQ(runCli({"demo-prefix", prefix}).status, 0);
    for (const std::string& node : {fifo, zero}) {
        std::filesystem::remove(prefix + "/drive_c" + users);
        std::filesystem::create_symlink(node, prefix + "/drive_c" + users);
        EXPECT_EQ(runCli({"load", "--prefix", prefix, "Alice"}).err,
                  "ERROR: " + prefix + "/dosdevices/c:" + users + " is not a file\n");
    }
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
};

// Every command reaches the Editor with its arguments, text turned into the file's code page.
TEST_F(CliEdit, RunsTheCommandsInOrderWithTheKeysTheyIssue) {
    std::string level = dir.file("new.lvl");
    writeBytes(level, makeLevelFile({}, "New One"));
    writeBytes(dir.file("LEVEL001.DAT"), sequelPack());
    std::string levels = dir.file("levels");
    std::filesystem::create_directory(levels);
    CliRun run = edit({"add-set",     "root2",   "Caf\xC3\xA9 \xE2\x82\xAC",
                       "add-level",   "parent4", level,
                       "add-level",   "parent4", level,
                       "up",          "level6",  "down",
                       "level1",      "rename",  "level5",
                       "First",       "folder",  "root1",
                       "LEVELS",      "file",    "level2",
                       "bee.lvl",     "delete",  "parent2",
                       "add-group",   "EXTRA",   "XTRA",
                       "add-set",     "root3",   "LATER",
                       "rename",      "root3",   "SOON",
                       "rename",      "root3",   "NEVER",
                       "undo",        "undo",    "redo",
                       "import-pack", "parent5", dir.file("LEVEL001.DAT"),
                       "--sequel",    levels,    "rename",
                       "level7",      "Imported"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(run.err.starts_with("1 level(s) added to 'Caf\xC3\xA9 \xE2\x82\xAC'\n"
                                    "1 level(s) added to 'Caf\xC3\xA9 \xE2\x82\xAC'\n"
                                    "Group's source folder has been updated\n"
                                    "Levels source file has been updated\n"
                                    "LEVEL001.DAT: 2 level(s) to import"))
        << run.err;
    EXPECT_TRUE(run.err.ends_with("\n2 level(s) added to 'LATER'\n")) << run.err;
    // Loaded again, the keys are issued anew in the file's order.
    EXPECT_EQ(runCli({"show", out}).out,
              "root1 \"CUSTOM LEVELS\" folder \"LEVELS\"\n  parent1 \"EASY\"\n"
              "    level1 \"B\" file \"bee.lvl\"\n    level2 \"A\" file \"a.lvl\"\n"
              "root2 \"MORE\" folder \"MORE\"\n  parent2 \"ONE\"\n    level3 \"D\" file \"d.lvl\"\n"
              "  parent3 \"Caf\xC3\xA9 \xE2\x82\xAC\"\n    level4 \"New One\" file \"new.lvl\"\n"
              "    level5 \"First\" file \"new.lvl\"\nroot3 \"SOON\" folder \"XTRA\"\n"
              "  parent4 \"LATER\"\n    level6 \"Imported\" file \"LEVEL001_00.LVL\"\n"
              "    level7 \"Third\" file \"LEVEL001_02.LVL\"\n");
    // --sequel reached the import: the sequel's set 1 is the Windows game's 6.
    EXPECT_EQ(readBytes(levels + "/LEVEL001_00.LVL")[levelfile::kGraphicsSetOffset + 1], 6);
}

TEST_F(CliEdit, ARefusedCommandOrWrongUsageStopsTheRunAndWritesNothing) {
    // The Editor's own refusals are its tests'; here they stop the run.
    const std::vector<std::pair<Args, std::string>> refusals = {
        {{"up", "level1"}, "cannot go any higher\n"},
        {{"delete", "level9"}, "WARNING: no node has the key 'level9'\n"},
        {{"rename", "root1", "\xC4\x89"},
         "WARNING: the text '\xC4\x89' holds characters that cannot be stored\n"},
        {{"add-group", "G", ""}, "WARNING: add-group needs a FOLDER\n"},
        // Names of level files that Windows cannot open, each named with the reason (the
        // reasons themselves are the names' own test).
        {{"file", "level1", "a?b.lvl"},
         "WARNING: the file name 'a?b.lvl' holds '?', which Windows does not allow in a file "
         "name\n"},
        {{"file", "level1", ""}, "WARNING: the file name cannot be empty\n"},
        // Group folders too, also as paths.
        {{"folder", "root1", "NE?W"},
         "WARNING: the folder 'NE?W' holds '?', which Windows does not allow in a folder\n"},
        {{"add-group", "G", "sub\\..\\x"},
         "WARNING: the folder 'sub\\..\\x' holds '..', which leads out of the folder it "
         "names\n"},
        {{"add-level", "parent1", dir.file("a:b.lvl")},
         "WARNING: the file name 'a:b.lvl' holds ':', which Windows does not allow in a file "
         "name\n"},
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
             {}, {"up"}, {"jump", "level1"}, {"import-pack", "parent1", "P.DAT", "--sequel"}})
        EXPECT_EQ(edit(wrong).status, 2);
}

// A pack's name gives its levels' file names: one that Windows cannot open gives a form of it
// that Windows can, and what a pack holds or is named that cannot be shown or stored is shown
// escaped or quoted. check finds the names that came in some other way.
TEST_F(CliEdit, LevelFilesAreNamedSoThatWindowsOpensThemAndCheckFindsThoseThatAreNot) {
    const std::string levels = dir.file("levels"), pack = dir.file("wh?t:<x>|\"*\n.DAT");
    std::filesystem::create_directory(levels);
    writeBytes(pack, makePack({packLevel(1, 40, "\x1b[2JWiped\n")}));
    CliRun run = runCli({"import", pack, "--to", levels});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("\"file\": \"wh_t__x______00.LVL\""), std::string::npos) << run.out;
    run = edit({"import-pack", "parent1", pack, levels});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(run.err.starts_with("wh?t:<x>|\"*\\n.DAT: 1 level(s) to import")) << run.err;
    EXPECT_NE(run.err.find("\"\\x1b[2JWiped\\n\" is there already as wh_t__x______00.LVL\n"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(runCli({"check", out}).status, 0);

    const std::string unstorable = dir.file("\xC4\x88.DAT");
    writeBytes(unstorable, makePack({packLevel(1, 40, "A")}));
    EXPECT_EQ(runCli({"import", unstorable, "--to", levels}).err,
              "WARNING: the pack's name '" + unstorable +
                  "' holds characters that cannot be stored\n");

    // COM¹ (0xB9 in the profile's Windows-1252), named once in UTF-8.
    writeBytes(in, profileBytes({{"G", "F", {{"S", {{"A", "a.lvl"}, {"B", "COM\xB9.lvl"}}}}}}));
    run = runCli({"check", in});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "record 3, offset 503: the level file name 'COM¹.lvl' names a device, "
                       "which Windows opens in place of a file\n");
}

// A run is all or nothing: a run that fails takes back the level files its imports wrote, but
// not those that were there before, nor those that another run found and took up meanwhile.
TEST_F(CliEdit, AFailedRunTakesBackOnlyTheLevelFilesStillItsOwn) {
    const std::string pack = dir.file("LEVEL001.DAT"), levels = dir.file("levels");
    const std::string first = levels + "/LEVEL001_00.LVL", last = levels + "/LEVEL001_02.LVL";
    writeBytes(pack, sequelPack());
    std::filesystem::create_directory(levels);
    ASSERT_EQ(runCli({"import", pack, "--to", levels}).status, 0);
    std::filesystem::remove(last);
    EXPECT_EQ(edit({"import-pack", "parent1", pack, levels, "up", "level1"}).status, 1);
    EXPECT_TRUE(std::filesystem::exists(first));
    EXPECT_FALSE(std::filesystem::exists(last));
    EXPECT_FALSE(std::filesystem::exists(out));

    // The run's OUT waits for its folder, which this test holds until the run gives up, while
    // another run imports the pack and reports the files written as its own: they stay.
    std::filesystem::remove(first);
    std::filesystem::create_directory(dir.file("held"));
    CliRun failed, other;
    {
        auto held = lockFolder(dir.file("held"));
        ASSERT_TRUE(held.ok()) << held.error();
        std::thread run([&] {
            failed = runCli(
                {"edit", in, dir.file("held/OUT.DAT"), "import-pack", "parent1", pack, levels});
        });
        for (int wait = 0; wait < 200 && !std::filesystem::exists(last); ++wait)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        other = runCli({"import", pack, "--to", levels});
        run.join();
    }
    EXPECT_EQ(other.status, 0) << other.err;
    EXPECT_NE(other.out.find("\"reused\": true"), std::string::npos);
    EXPECT_EQ(failed.status, 1);
    for (const std::string& path : {first, last}) {
        EXPECT_TRUE(std::filesystem::exists(path));
        EXPECT_NE(failed.err.find("WARNING: " + path + " was left in place"), std::string::npos)
            << failed.err;
    }
}

} // namespace
} // namespace quillfen::testing
