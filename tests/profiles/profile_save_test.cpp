// Save Profile Data into a hand-written prefix's files, and what each of them holds after the
// save fails or the program is killed on the way.
#include "hand_prefix.h"

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
    // Alice's file and backup (none when empty), and nothing else new in the folder: no
    // temporary file stays behind.
    void expectAlice(const Bytes& file, const Bytes& backup) const {
        EXPECT_EQ(readBytes(alice), file);
        EXPECT_EQ(readBytes(alice + "_backup"), backup);
        Names names;
        for (const auto& entry : std::filesystem::directory_iterator(users))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, backup.empty() ? kNoBackup : kWithBackup);
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

TEST_F(SaveProfileTest, ASaveWritesTheTreeKeepsTheOldFileAsBackupAndReportsItsProgress) {
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
    // The backup copies no more than a profile can be.
    std::filesystem::resize_file(bob, (std::uintmax_t{64} << 20) + 1);
    EXPECT_EQ(save("Bob"),
              std::string(kCouldNotSave) + "the file is 67108865 bytes long, more than 67108864");
    EXPECT_EQ(std::filesystem::file_size(bob), (std::uintmax_t{64} << 20) + 1);
    if (::geteuid() != 0) { // permissions do not apply to root
        ::chmod(users.c_str(), 0555);
        EXPECT_EQ(save("Alice"), std::string(kCouldNotSave) + "Permission denied");
        ::chmod(users.c_str(), 0755);
    }
    // A profile without a readable "DatabaseName" is not saved into a file named "Not Found".
    prefix.writeRegistry(testing::usersKey("Nameless", "\"DatabaseName\"=dword:00000001"));
    EXPECT_EQ(save("Nameless"), kDatabaseNameUnreadable);
    EXPECT_FALSE(std::filesystem::exists(kNotFound));
    expectAlice(aliceBytes, {});
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

} // namespace
} // namespace quillfen
