// Save Profile Data into a hand-written prefix's files, and what each of them holds after the
// save fails or the program is killed on the way.
#include "database/database_writer.h"
#include "database/scripted_user_interface.h"
#include "hand_prefix.h"
#include "profiles/profile_commands.h"

#include <chrono>
#include <csignal>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace quillfen {
namespace {

using testing::HandPrefix;
using testing::profileKey;
using testing::readBytes;
using testing::sampleTree;

class SaveProfileTest : public ::testing::Test {
protected:
    SaveProfileTest() {
        prefix.writeRegistry(profileKey("Alice", R"(C:\\LEMM\\USERS\\ALICE.DAT)") +
                             profileKey("Bob", R"(C:\\LEMM\\USERS\\BOB.DAT)") +
                             profileKey("Gone", R"(C:\\LEMM\\GONE\\GONE.DAT)"));
        state.usersKeyPath = kDefaultUsersKeyPath;
        aliceBytes = prefix.writeDatabase("LEMM/USERS/ALICE.DAT", sampleTree("ALICE"));
        bobBytes = prefix.writeDatabase("LEMM/USERS/BOB.DAT", sampleTree("BOB", 5));
        alice = prefix.onDriveC("LEMM/USERS/ALICE.DAT");
        bob = prefix.onDriveC("LEMM/USERS/BOB.DAT");
        users = prefix.onDriveC("LEMM/USERS/x");
        users.resize(users.size() - 2);
    }

    bool save(const std::string& profile) { return SaveProfileData(state, store, profile, ui); }

    // Everything in the profiles' folder, to see that no temporary file stays behind.
    std::vector<std::string> usersFolder() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(users))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    HandPrefix prefix;
    WinePrefixStore store{prefix.path()};
    EditorState state;
    ScriptedUserInterface ui;
    std::vector<unsigned char> aliceBytes, bobBytes;
    std::string alice, bob, users;
};

TEST_F(SaveProfileTest, ASaveWritesTheTreeAndKeepsTheOldFileAsBackup) {
    state.tree = sampleTree("NEW", 4);
    std::vector<std::pair<double, double>> steps;
    ASSERT_TRUE(SaveProfileData(state, store, "Alice", ui, [&](double value, double maximum) {
        steps.push_back({value, maximum});
    }));
    EXPECT_EQ(ui.messages, std::vector<std::string>{kSaved});
    EXPECT_EQ(readBytes(alice), encodeDatabase(state.tree));
    EXPECT_EQ(readBytes(alice + "_backup"), aliceBytes);
    EXPECT_EQ(usersFolder(),
              (std::vector<std::string>{"ALICE.DAT", "ALICE.DAT_backup", "BOB.DAT"}));
    ASSERT_FALSE(steps.empty());
    EXPECT_EQ(steps.front(), std::make_pair(0.0, 6.0));
    EXPECT_EQ(steps.back(), std::make_pair(0.0, 6.0));
}

TEST_F(SaveProfileTest, TwoSavesInARowMakeTheFirstSavedFileTheBackupAndARemovedFileIsWrittenAnew) {
    state.tree = sampleTree("FIRST", 1);
    ASSERT_TRUE(save("Alice"));
    auto first = readBytes(alice);
    state.tree = sampleTree("SECOND", 7);
    ASSERT_TRUE(save("Alice"));
    EXPECT_EQ(readBytes(alice + "_backup"), first);
    EXPECT_EQ(readBytes(alice), encodeDatabase(state.tree));
    // Without a database file the backup stays as it is.
    std::filesystem::remove(alice);
    state.tree = sampleTree("THIRD");
    ASSERT_TRUE(save("Alice"));
    EXPECT_EQ(readBytes(alice), encodeDatabase(state.tree));
    EXPECT_EQ(readBytes(alice + "_backup"), first);
}

TEST_F(SaveProfileTest, AfterSwitchingProfileTheLoadedTreeGoesIntoTheOtherProfilesFile) {
    ASSERT_TRUE(LoadProfile(state, store, "Alice", ui));
    ASSERT_TRUE(save("Bob"));
    EXPECT_EQ(readBytes(bob), aliceBytes);
    EXPECT_EQ(readBytes(bob + "_backup"), bobBytes);
    EXPECT_EQ(readBytes(alice), aliceBytes);
    EXPECT_FALSE(std::filesystem::exists(alice + "_backup"));
}

TEST_F(SaveProfileTest, RefusedSavesTouchNoFile) {
    EXPECT_FALSE(save("Alice"));
    EXPECT_EQ(ui.messages, std::vector<std::string>{kLoadFirst});

    state.tree = sampleTree("NEW");
    EXPECT_FALSE(save("Carol"));
    EXPECT_EQ(ui.messages.back(), kProfileNotFound);

    // A profile without a readable "DatabaseName" is not saved into a file named "Not Found".
    prefix.writeRegistry(
        R"([Software\\Wow6432Node\\Visual Sciences\\Windows Lemmings\\Users\\Nameless] 1
"DatabaseName"=dword:00000001

)");
    EXPECT_FALSE(save("Nameless"));
    EXPECT_EQ(ui.messages.back(), kDatabaseNameUnreadable);
    EXPECT_FALSE(std::filesystem::exists(kNotFound));

    EXPECT_EQ(readBytes(alice), aliceBytes);
    EXPECT_EQ(usersFolder(), (std::vector<std::string>{"ALICE.DAT", "BOB.DAT"}));
}

TEST_F(SaveProfileTest, ABackupPathThatIsAFolderOrAMissingDatabaseFolderIsRefused) {
    std::filesystem::create_directories(alice + "_backup/inside");
    state.tree = sampleTree("NEW");
    EXPECT_FALSE(save("Alice"));
    EXPECT_EQ(ui.messages, std::vector<std::string>{std::string(kCannotReplaceBackup) +
                                                    "C:\\LEMM\\USERS\\ALICE.DAT_backup"});
    EXPECT_EQ(readBytes(alice), aliceBytes);
    EXPECT_TRUE(std::filesystem::exists(alice + "_backup/inside"));
    EXPECT_EQ(usersFolder(),
              (std::vector<std::string>{"ALICE.DAT", "ALICE.DAT_backup", "BOB.DAT"}));

    ui.messages.clear();
    EXPECT_FALSE(save("Gone"));
    EXPECT_EQ(ui.messages,
              std::vector<std::string>{std::string(kCouldNotSave) + "No such file or directory"});
    EXPECT_FALSE(std::filesystem::exists(prefix.path() + "/drive_c/LEMM/GONE"));
}

TEST_F(SaveProfileTest, AReadOnlyFolderKeepsItsFiles) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not apply to root";
    ASSERT_TRUE(LoadProfile(state, store, "Bob", ui));
    ::chmod(users.c_str(), 0555);
    EXPECT_FALSE(save("Alice"));
    ::chmod(users.c_str(), 0755);
    EXPECT_EQ(ui.messages.back(), std::string(kCouldNotSave) + "Permission denied");
    EXPECT_EQ(readBytes(alice), aliceBytes);
    EXPECT_EQ(usersFolder(), (std::vector<std::string>{"ALICE.DAT", "BOB.DAT"}));
}

// Runs a save in a child process whose files may grow to at most `limit` bytes, as when the disk
// is full; gives the child's one message.
std::string saveWithFileSizeLimit(EditorState& state, ProfileStore& store, rlim_t limit) {
    testing::TempDir dir;
    std::string said = dir.file("said");
    pid_t child = ::fork();
    if (child == 0) {
        std::ofstream out(said); // opened before the limit, written after it
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit rl{limit, limit};
        ::setrlimit(RLIMIT_FSIZE, &rl);
        ScriptedUserInterface ui;
        out << (SaveProfileData(state, store, "Alice", ui) ? "saved anyway" : ui.messages.back());
        out.close();
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    auto bytes = readBytes(said);
    return {bytes.begin(), bytes.end()};
}

TEST_F(SaveProfileTest, ASaveThatRunsOutOfSpaceKeepsTheOldFileAndTheBackup) {
    state.tree = sampleTree("FIRST", 1);
    ASSERT_TRUE(save("Alice"));
    auto first = readBytes(alice);
    const std::string tooLarge = std::string(kCouldNotSave) + "File too large";

    // The new file does not fit.
    state.tree = sampleTree("BIG", 60);
    EXPECT_EQ(saveWithFileSizeLimit(state, store, 4096), tooLarge);
    EXPECT_EQ(readBytes(alice), first);
    EXPECT_EQ(readBytes(alice + "_backup"), aliceBytes);
    EXPECT_EQ(usersFolder(),
              (std::vector<std::string>{"ALICE.DAT", "ALICE.DAT_backup", "BOB.DAT"}));

    // The new file fits, the copy of the old one for the backup does not.
    ASSERT_TRUE(save("Alice"));
    auto big = readBytes(alice);
    state.tree = sampleTree("SMALL", 1);
    EXPECT_EQ(saveWithFileSizeLimit(state, store, 4096), tooLarge);
    EXPECT_EQ(readBytes(alice), big);
    EXPECT_EQ(readBytes(alice + "_backup"), first);
    EXPECT_EQ(usersFolder(),
              (std::vector<std::string>{"ALICE.DAT", "ALICE.DAT_backup", "BOB.DAT"}));
}

// Version n of the profile: its number in the group's name, and a length of its own.
LevelTree versionTree(int n) {
    return sampleTree("VERSION " + std::to_string(n), n % 7);
}

// The version a file holds, or -1 when it is not exactly one version's complete bytes.
int versionOf(const std::vector<unsigned char>& bytes) {
    constexpr std::size_t kGroupName = 8 + 10; // header, record index and fixed bytes
    if (bytes.size() < kGroupName + 8)
        return -1;
    std::string name(bytes.begin() + kGroupName, bytes.begin() + kGroupName + 20);
    if (name.rfind("VERSION ", 0) != 0)
        return -1;
    int n = std::atoi(name.c_str() + 8);
    return encodeDatabase(versionTree(n)) == bytes ? n : -1;
}

TEST_F(SaveProfileTest, AProgramKilledAtAnyMomentOfItsSavesLeavesCompleteFiles) {
    testing::writeBytes(alice, encodeDatabase(versionTree(0)));
    std::mt19937 rng(4);
    int version = 0;
    for (int round = 0; round < 20; ++round) {
        pid_t child = ::fork();
        if (child == 0) {
            ScriptedUserInterface quiet;
            for (int n = version + 1; n <= version + 200; ++n) {
                state.tree = versionTree(n);
                SaveProfileData(state, store, "Alice", quiet);
            }
            ::_exit(0);
        }
        std::this_thread::sleep_for(
            std::chrono::microseconds(std::uniform_int_distribution<int>(0, 80000)(rng)));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);

        int saved = versionOf(readBytes(alice));
        ASSERT_GE(saved, version) << "round " << round;
        if (saved == 0) {
            ASSERT_FALSE(std::filesystem::exists(alice + "_backup"));
            continue;
        }
        // The backup holds the version before, or already the saved one when the program died
        // between replacing the backup and the database file.
        int backup = versionOf(readBytes(alice + "_backup"));
        ASSERT_TRUE(backup == saved - 1 || backup == saved)
            << "round " << round << ": file " << saved << ", backup " << backup;
        version = saved;
    }
    EXPECT_GT(version, 0);
}

} // namespace
} // namespace quillfen
