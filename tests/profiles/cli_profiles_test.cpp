// quillfen-cli's profile commands over the demo prefix, as a user runs them. What save writes is
// the writing commands' test's.
#include "cli/run_cli.h"
#include "hand_prefix.h"
#include "host/file_io.h"
#include "profiles/game_folder.h"
#include "profiles/profile_store.h"
#include "temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace quillfen {
namespace {

using testing::runCli;

TEST(CliProfiles, TheDemoPrefixListsAndLoadsItsProfilesAndRefusalsSayWhy) {
    testing::TempDir dir;
    std::string prefix = dir.file("prefix");
    ASSERT_EQ(runCli({"demo-prefix", prefix}).status, 0);

    auto listed = runCli({"profiles", "--prefix", prefix});
    EXPECT_EQ(listed.status, 0) << listed.err;
    EXPECT_EQ(listed.out, "Alice\tC:\\LEMM\\USERS\\ALICE.DAT\n"
                          "Bob\tC:\\LEMM\\USERS\\BOB.DAT\n"
                          "Zo\xC3\xAB\tC:\\LEMM\\USERS\\ZOE.DAT\n");

    auto loaded = runCli({"load", "--prefix", prefix, "Zo\xC3\xAB", "--json"});
    EXPECT_EQ(loaded.status, 0) << loaded.err;
    EXPECT_NE(loaded.out.find("\"ZO\xC3\x8B'S SET\""), std::string::npos) << loaded.out;

    // The demo is an install: C:\LEMM holds LEVEL (every profile's level files in their groups'
    // folders) and STYLES; where the game is found, and how, is the game folder's test's
    // (wine_paths_test.cpp) and the command's output the command line's.
    EXPECT_EQ(
        runCli({"game", "--prefix", prefix, "--game", dir.file("prefix/drive_c"), "Gone"}).out,
        prefix + "/drive_c\tC:\\\tgiven\n");
    auto game = runCli({"game", "--prefix", prefix, "--game", dir.file("gone")});
    EXPECT_EQ(game.status, 1);
    EXPECT_NE(game.err.find(dir.file("gone")), std::string::npos) << game.err;
    // Every demo level is where the game looks: check-profile finds no error, and only notes
    // that the empty STYLES holds no graphics.
    const std::string styles = prefix + "/dosdevices/c:/LEMM/STYLES";
    for (const char* profile : {"Alice", "Bob", "Zo\xC3\xAB"}) {
        auto checked = runCli({"check-profile", "--prefix", prefix, profile});
        EXPECT_EQ(checked.status, 0) << checked.err;
        EXPECT_EQ(checked.out, "\t" + styles +
                                   "\tthe game's STYLES folder holds no graphics, so no level's "
                                   "graphics set was checked\n");
    }
    // A level file gone is an error of its node, in JSON too.
    std::filesystem::remove(prefix + "/drive_c/LEMM/LEVEL/CUST/tunnel.lvl");
    const std::string tunnel = prefix + "/dosdevices/c:/LEMM/LEVEL/CUST/tunnel.lvl";
    auto checked = runCli({"check-profile", "--prefix", prefix, "Alice", "--json"});
    EXPECT_EQ(checked.status, 1);
    EXPECT_NE(checked.out.find("{\"key\": \"level1\", \"title\": \"Tunnel Vision\", \"file\": \"" +
                               tunnel + "\", \"problem\": \"the file " + tunnel +
                               " is not there\", \"severity\": \"error\"}"),
              std::string::npos)
        << checked.out;
    auto none = runCli({"game", "--prefix", dir.file("empty")});
    EXPECT_EQ(none.status, 1);
    EXPECT_NE(none.err.find("found no game folder"), std::string::npos) << none.err;

    // Refusals say why and exit with 1.
    auto again = runCli({"demo-prefix", prefix});
    EXPECT_EQ(again.status, 1);
    EXPECT_NE(again.err.find("already holds a system.reg"), std::string::npos);

    // Profile names match exactly, case included.
    auto wrongCase = runCli({"load", "--prefix", prefix, "alice"});
    EXPECT_EQ(wrongCase.status, 1);
    EXPECT_EQ(wrongCase.err, "ERROR: user database not found!  choose a different user profile\n");
}

// Each refused load says in one message what is wrong with the profile. A save finds the
// profile's file the same way, and refuses a missing one itself (profile_load_save_test.cpp).
TEST(CliProfiles, ARefusalNamesWhatIsWrongWithTheProfileInOneMessage) {
    testing::HandPrefix prefix;
    std::string here = std::filesystem::current_path();
    const std::string bad = "'s DatabaseName ", cannot = " cannot name a file: ";
    // The profile, its DatabaseName as system.reg holds it, and what a load says.
    const std::vector<std::array<std::string, 3>> cases = {
        {"Gone", R"(C:\\LEMM\\GONE.DAT)",
         "ERROR: the profile's file C:\\LEMM\\GONE.DAT does not exist"},
        {"Root", "/quillfen-root.dat",
         "ERROR: the profile's file /quillfen-root.dat (" + prefix.path() +
             "/dosdevices/c:/quillfen-root.dat) does not exist"},
        {"Relative", R"(LEMM\\REL.DAT)",
         "ERROR: the profile's file LEMM\\REL.DAT (" + here + "/LEMM/REL.DAT) does not exist"},
        {"Empty", "", "ERROR: the profile Empty has an empty DatabaseName"},
        {"Share", R"(\\\\server\\share\\A.DAT)",
         "ERROR: the profile Share" + bad + "\\\\server\\share\\A.DAT" + cannot +
             "it is a network or device path"},
        {"Nul", R"(C:\\nul.dat)",
         "ERROR: the profile Nul" + bad + "C:\\nul.dat" + cannot + "nul is the name of a device"},
        {"Star", R"(C:\\A*.DAT)",
         "ERROR: the profile Star" + bad + "C:\\A*.DAT" + cannot + "Windows allows no * in a name"},
        {"Stream", R"(C:\\A:B)",
         "ERROR: the profile Stream" + bad + "C:\\A:B" + cannot +
             "Windows allows : only after the drive"}};
    std::string registry;
    for (const auto& [name, databaseName, said] : cases)
        registry += testing::profileKey(name, databaseName);
    prefix.writeRegistry(registry);
    for (const auto& [name, databaseName, said] : cases) {
        auto run = runCli({"load", "--prefix", prefix.path(), name});
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, said + "\n") << name;
    }

    // A registry file that cannot be read is not taken for one without the profile.
    std::filesystem::remove(prefix.path() + "/system.reg");
    std::filesystem::create_directory(prefix.path() + "/system.reg");
    EXPECT_EQ(runCli({"load", "--prefix", prefix.path(), "Gone"}).err,
              "ERROR: cannot read the registry file " + prefix.path() +
                  "/system.reg: Is a directory\n");
}

// edit-profile adds a level where the game looks: the file is copied into its group's folder
// (CUST), another level of that name there is never replaced (the level takes a free name, and
// the run says so), and the profile is saved. A refused command saves nothing and takes back
// the files the run copied.
TEST(CliProfiles, EditProfileCopiesAddedLevelsIntoTheirGroupsFolder) {
    testing::TempDir dir;
    const std::string prefix = dir.file("prefix"), lemm = prefix + "/drive_c/LEMM";
    ASSERT_EQ(runCli({"demo-prefix", prefix}).status, 0);
    const std::string spare1 = lemm + "/LEVELS/spare1.lvl", spare2 = lemm + "/LEVELS/spare2.lvl";
    const std::string cust = lemm + "/LEVEL/CUST/";
    const auto theirs = testing::readBytes(spare1);
    testing::writeBytes(cust + "spare2.lvl", theirs);

    auto run = runCli({"edit-profile", "--prefix", prefix, "Alice", "add-level", "parent1", spare1,
                       "add-level", "parent2", spare2});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("spare2.lvl was added as spare2_2.lvl"), std::string::npos) << run.err;
    EXPECT_EQ(testing::readBytes(cust + "spare1.lvl"), theirs);
    EXPECT_EQ(testing::readBytes(cust + "spare2.lvl"), theirs);
    EXPECT_EQ(testing::readBytes(cust + "spare2_2.lvl"), testing::readBytes(spare2));
    auto loaded = runCli({"load", "--prefix", prefix, "Alice"});
    EXPECT_NE(loaded.out.find("file \"spare2_2.lvl\""), std::string::npos) << loaded.out;
    EXPECT_EQ(runCli({"check-profile", "--prefix", prefix, "Alice"}).status, 0);

    const auto saved = testing::readBytes(lemm + "/USERS/BOB.DAT");
    run = runCli({"edit-profile", "Bob", "--prefix", prefix, "add-level", "parent1",
                  lemm + "/LEVELS/dig.lvl", "delete", "level99"});
    EXPECT_EQ(run.status, 1);
    EXPECT_FALSE(std::filesystem::exists(cust + "dig.lvl"));
    EXPECT_EQ(testing::readBytes(lemm + "/USERS/BOB.DAT"), saved);
}

} // namespace
} // namespace quillfen
