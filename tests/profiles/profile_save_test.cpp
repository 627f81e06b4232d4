// Save Profile Data into a hand-written prefix's files, and what each of them holds after the
// save fails or the program is killed on the way.
#include "hand_prefix.h"
#include "host/file_io.h"
#include "host/file_write.h"

#include <chrono>
#include <csignal>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <set>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace quillfen {
namespace {

using testing::Names;
using testing::readBytes;
using testing::sampleTree;
using Bytes = std::vector<unsigned char>;

const Names kNoBackup{"ALICE.DAT", "BOB.DAT"};
const Names kWithBackup{"ALICE.DAT", "ALICE.DAT_backup", "BOB.DAT"};

class SaveProfileTest : public testing::ProfilePrefixTest {
public:
    // Everything in the profiles' folder, to see that no temporary file stays behind.
    Names usersFolder() const {
        Names names;
        for (const auto& entry : std::filesystem::directory_iterator(users))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    // Alice's file and backup (none when empty), and nothing else new in the folder.
    void expectAlice(const Bytes& file, const Bytes& backup) const {
        EXPECT_EQ(readBytes(alice), file);
        EXPECT_EQ(readBytes(alice + "_backup"), backup);
        EXPECT_EQ(usersFolder(), backup.empty() ? kNoBackup : kWithBackup);
    }

    // Save Profile Data of `tree` into the profile's file, looked up as the Editor does; the
    // refusal or the "saved" message.
    std::string save(const std::string& profile) {
        auto path = findProfileFile(store, kDefaultUsersKeyPath, profile);
        if (!path)
            return path.error();
        auto saved = SaveProfileData(tree, store, profile, *path);
        return saved ? saved->message : saved.error();
    }
    bool saved(const std::string& profile) { return save(profile).starts_with(kSaved); }

    std::string users = std::filesystem::path(alice).parent_path().string();
    LevelTree tree = sampleTree("NEW");
};

TEST_F(SaveProfileTest, EachSaveWritesTheTreeAndKeepsThePreviousFileAsBackup) {
    tree = sampleTree("NEW", 4);
    std::vector<std::pair<double, double>> steps;
    auto first = SaveProfileData(tree, store, "Alice", {"C:\\LEMM\\USERS\\ALICE.DAT", alice},
                                 [&](double value, double maximum) {
                                     steps.push_back({value, maximum});
                                 });
    ASSERT_TRUE(first) << first.error();
    EXPECT_EQ(first->file.hash, hashBytes(encodeDatabase(tree)));
    expectAlice(encodeDatabase(tree), aliceBytes);
    ASSERT_FALSE(steps.empty());
    EXPECT_EQ(steps.front(), std::make_pair(0.0, 6.0));
    EXPECT_EQ(steps.back(), std::make_pair(0.0, 6.0));
    // The first saved file becomes the backup.
    auto second = readBytes(alice);
    tree = sampleTree("SECOND", 7);
    ASSERT_TRUE(saved("Alice"));
    expectAlice(encodeDatabase(tree), second);
}

TEST_F(SaveProfileTest, RefusedSavesTouchNoFile) {
    // A save makes no profile file, nor its folder.
    EXPECT_EQ(save("Gone"), "ERROR: the profile's file C:\\LEMM\\GONE\\GONE.DAT does not exist");
    EXPECT_FALSE(std::filesystem::exists(prefix.path() + "/drive_c/LEMM/GONE"));
    // A backup path that is a folder is left as it is.
    std::filesystem::create_directories(alice + "_backup/inside");
    EXPECT_EQ(save("Alice"),
              std::string(kCannotReplaceBackup) + "C:\\LEMM\\USERS\\ALICE.DAT_backup");
    EXPECT_EQ(readBytes(alice), aliceBytes);
    std::filesystem::remove_all(alice + "_backup");
    // A profile without a readable "DatabaseName" is not saved into a file named "Not Found".
    prefix.writeRegistry(testing::usersKey("Nameless", "\"DatabaseName\"=dword:00000001"));
    EXPECT_EQ(save("Nameless"), kDatabaseNameUnreadable);
    EXPECT_FALSE(std::filesystem::exists(kNotFound));
    expectAlice(aliceBytes, {});
    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not apply to root";
    ::chmod(users.c_str(), 0555);
    EXPECT_EQ(save("Bob"), std::string(kCouldNotSave) + "Permission denied");
    ::chmod(users.c_str(), 0755);
    EXPECT_EQ(readBytes(bob), bobBytes);
}

TEST_F(SaveProfileTest, ASaveIntoARelativeDatabaseNameNamesTheWholeFile) {
    testing::TempDir work;
    auto home = std::filesystem::current_path();
    std::filesystem::current_path(work.path());
    testing::writeBytes(work.file("REL.DAT"), aliceBytes);
    prefix.writeRegistry(testing::profileKey("Rel", "REL.DAT"));
    std::string said = save("Rel");
    std::filesystem::current_path(home);
    EXPECT_EQ(said,
              "saved\nthe profile 'Rel' was written to REL.DAT (" + work.file("REL.DAT") + ")");
}

TEST_F(SaveProfileTest, ARegistryTextEndsAtItsFirstZeroByte) {
    // The ANSI call gives the text before it. Saving into "BOB.DAT\0" would make the backup
    // "BOB.DAT\0_backup", which the system cuts back to the file itself.
    prefix.writeRegistry(testing::profileKey("Bob", R"(C:\\LEMM\\USERS\\BOB.DAT\0X\\Y)"));
    EXPECT_EQ(*GetDatabaseFile(store, kDefaultUsersKeyPath, "Bob"), "C:\\LEMM\\USERS\\BOB.DAT");
    // A path that still holds one is refused before any file is touched.
    auto refused = writeFile(std::string(bob) + '\0', {}, {.backup = bob + "_backup"});
    EXPECT_EQ(refused.error(), "the file name holds a zero byte");
    EXPECT_EQ(readBytes(bob), bobBytes);
}

struct stat statOf(const std::string& path) {
    struct stat info {};
    ::lstat(path.c_str(), &info);
    return info;
}

TEST_F(SaveProfileTest, ASaveKeepsTheFilesModeAndOwnerOnTheNewFileAndTheBackup) {
    for (mode_t mode : {0600, 0640, 0664}) {
        ::chmod(alice.c_str(), mode);
        ASSERT_TRUE(saved("Alice"));
        EXPECT_EQ(statOf(alice).st_mode & 07777, mode);
        EXPECT_EQ(statOf(alice + "_backup").st_mode & 07777, mode);
    }
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root may give a file to another user";
    // Root saving a player's profile leaves it the player's, so the game can still write it.
    ASSERT_EQ(::chown(alice.c_str(), 4321, 4322), 0);
    ASSERT_TRUE(saved("Alice"));
    for (const std::string& file : {alice, alice + "_backup"}) {
        EXPECT_EQ(statOf(file).st_uid, 4321u) << file;
        EXPECT_EQ(statOf(file).st_gid, 4322u) << file;
    }
}

TEST_F(SaveProfileTest, AReadOnlyOrOverlongFileIsRefusedAndLeftAsItIs) {
    // Refused by its mode, for root too, who could write it all the same.
    ::chmod(alice.c_str(), 0444);
    EXPECT_EQ(save("Alice"), std::string(kCouldNotSave) + "the file is read-only");
    expectAlice(aliceBytes, {});
    EXPECT_EQ(statOf(alice).st_mode & 07777, 0444u);
    // The backup copies no more than a profile can be.
    std::filesystem::resize_file(bob, (std::uintmax_t{64} << 20) + 1);
    EXPECT_EQ(save("Bob"),
              std::string(kCouldNotSave) + "the file is 67108865 bytes long, more than 67108864");
    EXPECT_EQ(std::filesystem::file_size(bob), (std::uintmax_t{64} << 20) + 1);
    expectAlice(aliceBytes, {});
}

TEST_F(SaveProfileTest, ALinkedFileIsWrittenThroughItsLinks) {
    // Alice's file is a symbolic link into another folder: the link stays, its target gets the
    // new bytes, and the backup lies beside the link.
    std::string real = prefix.onDriveC("LEMM/REAL/ALICE.DAT");
    std::filesystem::rename(alice, real);
    std::filesystem::create_symlink("../REAL/ALICE.DAT", alice);
    ASSERT_TRUE(saved("Alice"));
    EXPECT_TRUE(std::filesystem::is_symlink(alice));
    EXPECT_FALSE(std::filesystem::is_symlink(alice + "_backup"));
    expectAlice(encodeDatabase(tree), aliceBytes);
    EXPECT_EQ(readBytes(real), encodeDatabase(tree));

    // Bob's file has a second name: both names see the new bytes.
    std::string other = users + "/OTHER.DAT";
    std::filesystem::create_hard_link(bob, other);
    ASSERT_TRUE(saved("Bob"));
    EXPECT_EQ(readBytes(other), encodeDatabase(tree));
    EXPECT_EQ(readBytes(bob + "_backup"), bobBytes);
    EXPECT_EQ(std::filesystem::hard_link_count(bob), 2u);
}

// Runs a save in a child process whose files may grow to at most `limit` bytes, as when the disk
// is full; gives the child's one message.
std::string saveWithFileSizeLimit(SaveProfileTest& test, rlim_t limit) {
    testing::TempDir dir;
    std::string said = dir.file("said");
    pid_t child = ::fork();
    if (child == 0) {
        std::ofstream out(said); // opened before the limit, written after it
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit rl{limit, limit};
        ::setrlimit(RLIMIT_FSIZE, &rl);
        out << test.save("Alice");
        out.close();
        ::_exit(0);
    }
    ::waitpid(child, nullptr, 0);
    auto bytes = readBytes(said);
    return {bytes.begin(), bytes.end()};
}

TEST_F(SaveProfileTest, ASaveThatRunsOutOfSpaceKeepsTheOldFileAndTheBackup) {
    tree = sampleTree("FIRST", 1);
    ASSERT_TRUE(saved("Alice"));
    auto first = readBytes(alice);
    const std::string tooLarge = std::string(kCouldNotSave) + "File too large";
    // The new file does not fit.
    tree = sampleTree("BIG", 60);
    EXPECT_EQ(saveWithFileSizeLimit(*this, 4096), tooLarge);
    expectAlice(first, aliceBytes);
    // The new file fits, the copy of the old one for the backup does not.
    ASSERT_TRUE(saved("Alice"));
    auto big = readBytes(alice);
    tree = sampleTree("SMALL", 1);
    EXPECT_EQ(saveWithFileSizeLimit(*this, 4096), tooLarge);
    expectAlice(big, first);
}

// Version n of the profile: its number in the group's name, and a length of its own.
LevelTree versionTree(int n) {
    return sampleTree("VERSION " + std::to_string(n), n % 7);
}

// The version a file holds, or -1 when it is not exactly one version's complete bytes.
int versionOf(const std::vector<unsigned char>& bytes) {
    constexpr std::size_t kGroupName = 8 + 10; // header, record index and fixed bytes
    std::string name(bytes.begin() + std::min(bytes.size(), kGroupName),
                     bytes.begin() + std::min(bytes.size(), kGroupName + 20));
    if (!name.starts_with("VERSION "))
        return -1;
    int n = std::atoi(name.c_str() + 8);
    return encodeDatabase(versionTree(n)) == bytes ? n : -1;
}

TEST_F(SaveProfileTest, AProgramKilledAtAnyMomentOfItsSavesLeavesCompleteFiles) {
    testing::writeBytes(alice, encodeDatabase(versionTree(0)));
    std::mt19937 rng(4);
    int version = 0;
    for (int round = 0; round < 20; ++round) {
        // The child says when each save is done; it is killed after the first of them, at a
        // moment of the saves that follow it, however slow the machine.
        int done[2];
        ASSERT_EQ(::pipe(done), 0);
        pid_t child = ::fork();
        if (child == 0) {
            ::close(done[0]);
            for (int n = version + 1; n <= version + 200; ++n) {
                tree = versionTree(n);
                save("Alice");
                [[maybe_unused]] auto said = ::write(done[1], "s", 1);
            }
            ::_exit(0);
        }
        ::close(done[1]);
        char ignored;
        ASSERT_EQ(::read(done[0], &ignored, 1), 1) << "round " << round;
        std::this_thread::sleep_for(
            std::chrono::microseconds(std::uniform_int_distribution<int>(0, 20000)(rng)));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        ::close(done[0]);
        int saved = versionOf(readBytes(alice));
        ASSERT_GT(saved, version) << "round " << round;
        // The backup holds the version before, or already the saved one when the program died
        // between replacing the backup and the database file.
        int backup = versionOf(readBytes(alice + "_backup"));
        ASSERT_TRUE(backup == saved - 1 || backup == saved)
            << "round " << round << ": file " << saved << ", backup " << backup;
        version = saved;
    }
    // The next save removes what the killed ones left behind.
    tree = versionTree(version + 1);
    ASSERT_TRUE(saved("Alice"));
    expectAlice(encodeDatabase(tree), readBytes(alice + "_backup"));
}

TEST_F(SaveProfileTest, TwoProgramsSavingAtOnceLoseNoTreeSilently) {
    for (int pair = 0; pair < 50; ++pair) {
        SCOPED_TRACE(pair);
        const int start = 3 * pair, versions[2] = {start + 1, start + 2};
        testing::writeBytes(alice, encodeDatabase(versionTree(start)));
        int go[2];
        ASSERT_EQ(::pipe(go), 0);
        pid_t children[2];
        for (int i = 0; i < 2; ++i) {
            children[i] = ::fork();
            if (children[i] == 0) {
                ::close(go[1]);
                char ignored;
                [[maybe_unused]] auto n = ::read(go[0], &ignored, 1); // until both are ready
                tree = versionTree(versions[i]);
                std::string said = save("Alice");
                ::_exit(said.starts_with(kSaved) ? 0 : said.empty() ? 2 : 1);
            }
        }
        ::close(go[0]);
        ::close(go[1]);
        std::set<int> saved;
        for (int i = 0; i < 2; ++i) {
            int status = -1;
            ::waitpid(children[i], &status, 0);
            ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) < 2) << "a save said nothing";
            if (WEXITSTATUS(status) == 0)
                saved.insert(versions[i]);
        }
        int file = versionOf(readBytes(alice));
        int backup = versionOf(readBytes(alice + "_backup"));
        ASSERT_GE(backup, 0);
        ASSERT_TRUE(saved.empty() ? file == start : saved.contains(file)) << file;
        for (int version : saved)
            ASSERT_TRUE(file == version || backup == version) << version << " is lost";
    }
}

TEST_F(SaveProfileTest, ASaveIntoAFolderBusyWithAnotherWaitsThenRefusesAndKeepsItsTemporary) {
    const Bytes leftOver{1, 2, 3};
    testing::writeBytes(users + "/.quillfen~Dead01.tmp", leftOver);
    // Another program saving into the folder holds its lock and has a temporary there.
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    pid_t other = ::fork();
    if (other == 0) {
        auto lock = lockFolder(users);
        testing::writeBytes(users + "/.quillfen~Live01.tmp", leftOver);
        [[maybe_unused]] auto n = ::write(ready[1], lock ? "y" : "n", 1);
        ::pause();
        ::_exit(0);
    }
    char locked = 0;
    ASSERT_EQ(::read(ready[0], &locked, 1), 1);
    ASSERT_EQ(locked, 'y');
    EXPECT_EQ(save("Alice"),
              std::string(kCouldNotSave) + "another program is saving into this folder");
    EXPECT_EQ(readBytes(alice), aliceBytes);
    EXPECT_EQ(readBytes(users + "/.quillfen~Live01.tmp"), leftOver);
    ::kill(other, SIGKILL);
    ::waitpid(other, nullptr, 0);
    // Once it is gone, what it left behind is removed by the next save.
    ASSERT_TRUE(saved("Alice"));
    expectAlice(encodeDatabase(tree), aliceBytes);
}

} // namespace
} // namespace quillfen
