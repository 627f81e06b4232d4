// quillfen-cli's profile commands over the demo prefix, as a user runs them.
#include "cli/run_cli.h"
#include "hand_prefix.h"
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
    EXPECT_EQ(wrongCase.err, "ERROR: user database not found!  choose a different user profile\n");

    EXPECT_EQ(runCli({"load", "--prefix", prefix}).status, 2);
    EXPECT_EQ(runCli({"save", "--prefix", prefix, "Alice"}).status, 2);

    // A system.reg that is a FIFO is refused at once.
    std::filesystem::remove(prefix + "/system.reg");
    ASSERT_EQ(::mkfifo((prefix + "/system.reg").c_str(), 0644), 0);
    auto fifo = runCli({"profiles", "--prefix", prefix});
    EXPECT_EQ(fifo.status, 1);
    EXPECT_EQ(fifo.err, "ERROR: " + prefix + "/system.reg is not a file\n");
}

// Each refused load and save says in one message what is wrong with the profile, and a save
// makes no file of its own.
TEST(CliProfiles, ARefusalNamesWhatIsWrongWithTheProfileInOneMessage) {
    testing::HandPrefix prefix;
    testing::TempDir dir;
    std::string from = dir.file("FROM.DAT"), here = std::filesystem::current_path().string();
    testing::writeBytes(from, encodeDatabase(testing::sampleTree("NEW")));
    struct Case {
        std::string name, databaseName; // as system.reg holds it
        std::string said;
    };
    auto unusable = [](const std::string& name, const std::string& value,
                       const std::string& reason) {
        return "ERROR: the profile " + name + "'s DatabaseName " + value +
               " cannot name a file: " + reason;
    };
    const std::vector<Case> cases = {
        {"Gone", R"(C:\\LEMM\\GONE.DAT)",
         "ERROR: the profile's file C:\\LEMM\\GONE.DAT does not exist"},
        // A root-relative path lies on drive C:, not at the host's root.
        {"Root", "/quillfen-root.dat",
         "ERROR: the profile's file /quillfen-root.dat (" + prefix.path() +
             "/dosdevices/c:/quillfen-root.dat) does not exist"},
        {"Relative", R"(LEMM\\REL.DAT)",
         "ERROR: the profile's file LEMM\\REL.DAT (" + here + "/LEMM/REL.DAT) does not exist"},
        {"Empty", "", "ERROR: the profile Empty has an empty DatabaseName"},
        {"Share", R"(\\\\server\\share\\A.DAT)",
         unusable("Share", "\\\\server\\share\\A.DAT", "it is a network or device path")},
        {"Nul", R"(C:\\LEMM\\nul.dat)",
         unusable("Nul", "C:\\LEMM\\nul.dat", "nul is the name of a device")},
        {"Com", R"(c:/COM1 \\A.DAT)",
         unusable("Com", "c:/COM1 \\A.DAT", "COM1 is the name of a device")},
        {"Star", R"(C:\\A*.DAT)", unusable("Star", "C:\\A*.DAT", "Windows allows no * in a name")},
        {"Stream", R"(C:\\A.DAT:stream)",
         unusable("Stream", "C:\\A.DAT:stream", "Windows allows : only after the drive")},
        {"Nobody", "", "ERROR: user database not found!  choose a different user profile"},
    };
    std::string registry;
    for (const Case& c : cases)
        if (c.name != "Nobody")
            registry += testing::profileKey(c.name, c.databaseName);
    prefix.writeRegistry(registry);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const testing::Names& args :
             {testing::Names{"load", "--prefix", prefix.path(), c.name},
              testing::Names{"save", "--prefix", prefix.path(), c.name, from}}) {
            auto run = runCli(args);
            EXPECT_EQ(run.status, 1);
            EXPECT_EQ(run.err, c.said + "\n") << args[0];
        }
    }
    EXPECT_FALSE(std::filesystem::exists("/quillfen-root.dat"));
    EXPECT_FALSE(std::filesystem::exists(prefix.path() + "/drive_c/quillfen-root.dat"));
    EXPECT_FALSE(std::filesystem::exists("LEMM"));

    // A registry file that cannot be read is not taken for one without the profile.
    std::filesystem::remove(prefix.path() + "/system.reg");
    std::filesystem::create_directory(prefix.path() + "/system.reg");
    auto unreadable = runCli({"load", "--prefix", prefix.path(), "Gone"});
    EXPECT_EQ(unreadable.status, 1);
    EXPECT_EQ(unreadable.err, "ERROR: cannot read the registry file " + prefix.path() +
                                  "/system.reg: Is a directory\n");
}

} // namespace
} // namespace quillfen
