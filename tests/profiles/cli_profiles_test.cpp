// quillfen-cli's profile commands over the demo prefix, as a user runs them.
#include "cli/run_cli.h"
#include "temp_dir.h"

#include <algorithm>
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

    // The level files: 2048 bytes, the title at 2016 padded with spaces.
    auto level = testing::readBytes(prefix + "/drive_c/LEMM/LEVELS/tunnel.lvl");
    ASSERT_EQ(level.size(), 2048u);
    EXPECT_EQ(std::string(level.begin() + 2016, level.end()), "Tunnel Vision                   ");
    EXPECT_EQ(level[3], 40);

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
}

// A profile file or a system.reg that is a FIFO or a device is refused at once, and nothing is
// written beside it.
TEST(CliProfiles, AFifoOrADeviceIsRefusedWithoutWaitingAndNothingIsLeftBehind) {
    testing::TempDir dir;
    std::string prefix = dir.file("prefix");
    ASSERT_EQ(runCli({"demo-prefix", prefix}).status, 0);
    std::string users = prefix + "/drive_c/LEMM/USERS/";
    std::string from = dir.file("FROM.DAT");
    std::filesystem::copy_file(users + "BOB.DAT", from);
    std::filesystem::remove(users + "ALICE.DAT");
    ASSERT_EQ(::mkfifo((users + "ALICE.DAT").c_str(), 0644), 0);
    std::filesystem::remove(users + "BOB.DAT");
    std::filesystem::create_symlink("/dev/zero", users + "BOB.DAT");
    for (const std::string name : {"Alice", "Bob"}) {
        SCOPED_TRACE(name);
        // The host path as the prefix's drive maps it.
        std::string file =
            prefix + "/dosdevices/c:/LEMM/USERS/" + (name == "Alice" ? "ALICE.DAT" : "BOB.DAT");
        auto saved = runCli({"save", "--prefix", prefix, name, from});
        EXPECT_EQ(saved.status, 1);
        EXPECT_EQ(saved.err, "ERROR: " + file + " is not a file\n");
        auto loaded = runCli({"load", "--prefix", prefix, name});
        EXPECT_EQ(loaded.status, 1);
    }
    EXPECT_EQ(std::filesystem::status(users + "ALICE.DAT").type(),
              std::filesystem::file_type::fifo);
    EXPECT_TRUE(std::filesystem::is_symlink(users + "BOB.DAT"));
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(users))
        if (!entry.path().filename().string().starts_with(".quillfen-lock"))
            names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"ALICE.DAT", "BOB.DAT", "ZOE.DAT"}));

    std::filesystem::remove(prefix + "/system.reg");
    ASSERT_EQ(::mkfifo((prefix + "/system.reg").c_str(), 0644), 0);
    auto listed = runCli({"profiles", "--prefix", prefix});
    EXPECT_EQ(listed.status, 1);
    EXPECT_EQ(listed.err, "ERROR: " + prefix + "/system.reg is not a file\n");
}

} // namespace
} // namespace quillfen
