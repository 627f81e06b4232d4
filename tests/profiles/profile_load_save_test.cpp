// Load Profile, the profile listing and Save Profile Data over a hand-written prefix's files,
// and what each file holds after a save fails or races another. A save killed at any of its
// calls is the host layer's test (tests/host/durable_calls_test.cpp).
#include "hand_prefix.h"

#include <csignal>
#include <fstream>
#include <gtest/gtest.h>
#include <set>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quillfen {
namespace {

using testing::Names;
using testing::readBytes;
using testing::sampleTree;
using Bytes = std::vector<unsigned char>;

class ProfileLoadSaveTest : public testing::ProfilePrefixTest {
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
        EXPECT_EQ(names, (backup.empty() ? Names{"ALICE.DAT", "BOB.DAT"}
                                         : Names{"ALICE.DAT", "ALICE.DAT_backup", "BOB.DAT"}));
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
    // Load Profile of the file at `host`.
    Result<LoadedProfile> load(const std::string& host, const Progress& progress = {}) {
        return LoadProfile({"C:\\X.DAT", host}, progress);
    }

    std::string users = std::filesystem::path(alice).parent_path().string();
    LevelTree tree = sampleTree("NEW");
};

// A registry file that cannot be read is not taken for one without profiles.
TEST_F(ProfileLoadSaveTest, ARegistryTooLargeToBeWinesIsRefusedWithItsLength) {
    std::string registry = prefix.path() + "/system.reg";
    std::filesystem::resize_file(registry, (std::uintmax_t{256} << 20) + 1);
    EXPECT_EQ(LoadProfiles(store, kDefaultUsersKeyPath).error(),
              "ERROR: cannot read the registry file " + registry +
                  ": the file is 268435457 bytes long, more than 268435456");
}

TEST_F(ProfileLoadSaveTest, FilesClaimingTooMuchOrUnreadableAreRefusedAndAHeaderAloneIsEmpty) {
    // Long enough to be read, but its count claims records it does not hold.
    std::vector<unsigned char> claims(200);
    claims[4] = 9;
    testing::writeBytes(bob, claims);
    EXPECT_TRUE(load(bob).error().starts_with(std::string(kCorruptProfile) + "\n"));
    // A 99-byte file is read: a header that counts no record.
    testing::writeBytes(bob, std::vector<unsigned char>(99));
    auto empty = load(bob);
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->database.tree.empty());
    EXPECT_EQ(empty->database.tree.selected(), nullptr);

    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not apply to root";
    ::chmod(alice.c_str(), 0);
    EXPECT_EQ(load(alice).error(), std::string(kCannotReadProfile) + "Permission denied");
}

TEST_F(ProfileLoadSaveTest, ASaveKeepsTheOldFileAsBackupAndTheSaveAndTheLoadReportProgress) {
    tree = sampleTree("NEW", 4);
    std::vector<std::pair<double, double>> steps;
    auto step = [&](double value, double maximum) { steps.push_back({value, maximum}); };
    auto first = SaveProfileData(tree, store, "Alice", {"C:\\LEMM\\USERS\\ALICE.DAT", alice}, step);
    ASSERT_TRUE(first) << first.error();
    EXPECT_EQ(first->file.hash, hashBytes(encodeDatabase(tree)));
    expectAlice(encodeDatabase(tree), aliceBytes);
    ASSERT_FALSE(steps.empty());
    EXPECT_EQ(steps.front(), std::make_pair(0.0, 6.0));
    EXPECT_EQ(steps.back(), std::make_pair(0.0, 6.0));
    // A load reports over the file's bytes, in few steps.
    steps.clear();
    ASSERT_TRUE(load(alice, step));
    ASSERT_FALSE(steps.empty());
    EXPECT_EQ(steps.front(), std::make_pair(0.0, double(encodeDatabase(tree).size() + 1)));
    EXPECT_EQ(steps.back().first, 0.0);
    EXPECT_LE(steps.size(), 110u);
}

TEST_F(ProfileLoadSaveTest, RefusedSavesTouchNoFile) {
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

TEST_F(ProfileLoadSaveTest, ASaveIntoARelativeDatabaseNameNamesTheWholeFile) {
    testing::TempDir work;
    auto home = std::filesystem::current_path();
    std::filesystem::current_path(work.path());
    testing::writeBytes(work.file("REL.DAT"), aliceBytes);
    prefix.writeRegistry(testing::profileKey("Rel", "REL.DAT"));
    std::string said = save("Rel");
    std::filesystem::current_path(home);
    EXPECT_EQ(said, "saved the profile 'Rel' to REL.DAT (" + work.file("REL.DAT") + ")");
}

// Runs a save in a child process whose files may grow to at most `limit` bytes, as when the disk
// is full; gives the child's one message.
std::string saveWithFileSizeLimit(ProfileLoadSaveTest& test, rlim_t limit) {
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

TEST_F(ProfileLoadSaveTest, ASaveThatRunsOutOfSpaceKeepsTheOldFileAndTheBackup) {
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

TEST_F(ProfileLoadSaveTest, TwoProgramsSavingAtOnceLoseNoTreeSilently) {
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
