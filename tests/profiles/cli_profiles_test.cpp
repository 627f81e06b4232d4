// quillfen-cli's profile commands over the demo prefix, as a user runs them.
#include "cli/run_cli.h"
#include "temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace quillfen {
namespace {

using testing::runCli;

TEST(CliProfiles, TheDemoPrefixListsLoadsAndSavesItsProfilesAndRefusalsSayWhy) {
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

    // Bob's tree saved into Alice's file; her old file becomes the backup.
    std::string users = prefix + "/drive_c/LEMM/USERS/";
    auto alice = testing::readBytes(users + "ALICE.DAT");
    auto saved = runCli({"save", "--prefix", prefix, "Alice", users + "BOB.DAT"});
    EXPECT_EQ(saved.status, 0) << saved.err;
    EXPECT_EQ(saved.err, "saved\nthe profile 'Alice' was written to C:\\LEMM\\USERS\\ALICE.DAT\n");
    EXPECT_EQ(testing::readBytes(users + "ALICE.DAT"), testing::readBytes(users + "BOB.DAT"));
    EXPECT_EQ(testing::readBytes(users + "ALICE.DAT_backup"), alice);

    // Refusals say why and exit with 1, wrong usage with 2.
    auto again = runCli({"demo-prefix", prefix});
    EXPECT_EQ(again.status, 1);
    EXPECT_NE(again.err.find("already holds a system.reg"), std::string::npos);

    auto none = runCli({"profiles", "--prefix", prefix, "--key", "SOFTWARE\\Nobody"});
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.err, "WARNING: couldn't find your lemmings profiles in the registry\n");

    // Profile names match exactly, case included.
    auto wrongCase = runCli({"load", "--prefix", prefix, "alice"});
    EXPECT_EQ(wrongCase.status, 1);
    EXPECT_EQ(wrongCase.err, "ERROR: user database not found!  choose a different user profile\n"
                             "WARNING: the user profile you are trying to load seems to be "
                             "corrupt\n");

    EXPECT_EQ(runCli({"load", "--prefix", prefix}).status, 2);
    EXPECT_EQ(runCli({"save", "--prefix", prefix, "Alice"}).status, 2);

    // A system.reg that is a FIFO is refused at once.
    std::filesystem::remove(prefix + "/system.reg");
    ASSERT_EQ(::mkfifo((prefix + "/system.reg").c_str(), 0644), 0);
    auto fifo = runCli({"profiles", "--prefix", prefix});
    EXPECT_EQ(fifo.status, 1);
    EXPECT_EQ(fifo.err, "ERROR: " + prefix + "/system.reg is not a file\n");
}

} // namespace
} // namespace quillfen
