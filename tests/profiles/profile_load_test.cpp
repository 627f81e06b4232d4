// Listing the profiles, finding a profile's database file and Load Profile, through the store
// over a hand-written prefix with real files.
#include "database/database_reader.h"
#include "hand_prefix.h"
#include "profiles/profile_files.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillfen {
namespace {

using testing::Names;
using testing::sampleTree;

class LoadProfileTest : public testing::ProfilePrefixTest {
protected:
    // The tree as the saved file would hold it, to compare whole trees.
    std::vector<unsigned char> saved() const { return encodeDatabase(state.tree); }
};

TEST_F(LoadProfileTest, ProfilesAreListedAndFoundByTheirExactName) {
    EXPECT_EQ(LoadProfiles(store, state.usersKeyPath, ui), (Names{"Alice", "Bob", "Gone"}));
    EXPECT_EQ(GetDatabaseFile(store, state.usersKeyPath, "Bob", ui), "C:\\LEMM\\USERS\\BOB.DAT");
    EXPECT_TRUE(ui.messages.empty());
    // The key path matches without regard to case, the profile name does not.
    EXPECT_EQ(GetDatabaseFile(store, state.usersKeyPath, "bob", ui), "");
    EXPECT_EQ(ui.messages, Names{kProfileNotFound});

    EXPECT_TRUE(LoadProfiles(store, "SOFTWARE\\Nobody", ui).empty());
    EXPECT_EQ(ui.messages.back(), kNoProfiles);

    // A profile without a database name is refused as corrupt.
    prefix.writeRegistry(testing::usersKey("Nameless", "@=\"\""));
    ui.messages.clear();
    EXPECT_EQ(GetDatabaseFile(store, state.usersKeyPath, "Nameless", ui), kNotFound);
    EXPECT_FALSE(load("Nameless"));
    EXPECT_EQ(ui.messages, Names{kCorruptProfile});

    // A registry file that cannot be read is not taken for one without profiles.
    std::string registry = prefix.path() + "/system.reg";
    std::filesystem::resize_file(registry, (std::uintmax_t{256} << 20) + 1);
    ui.messages.clear();
    EXPECT_TRUE(LoadProfiles(store, state.usersKeyPath, ui).empty());
    EXPECT_EQ(ui.messages, Names{"ERROR: cannot read the registry file " + registry +
                                 ": the file is 268435457 bytes long, more than 268435456"});
}

TEST_F(LoadProfileTest, ALoadReplacesTheTreeWithTheProfilesFile) {
    std::vector<std::pair<double, double>> steps;
    ASSERT_TRUE(LoadProfile(state, store, "Alice", ui, [&](double value, double maximum) {
        steps.push_back({value, maximum});
    }));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(profileLoaded(state));
    EXPECT_EQ(saved(), aliceBytes);
    ASSERT_FALSE(steps.empty());
    EXPECT_EQ(steps.front(), std::make_pair(0.0, double(aliceBytes.size() + 1)));
    EXPECT_EQ(steps.back().first, 0.0);
    EXPECT_LE(steps.size(), 110u);
}

TEST_F(LoadProfileTest, ARefusedLoadKeepsTheTree) {
    ASSERT_TRUE(load("Alice"));
    auto tree = saved();
    auto expectUnchanged = [&](const std::vector<std::string>& messages) {
        EXPECT_EQ(ui.messages, messages);
        EXPECT_EQ(saved(), tree);
        ui.messages.clear();
    };

    std::filesystem::remove(bob);
    EXPECT_FALSE(load("Bob"));
    expectUnchanged({kCorruptProfile});
    EXPECT_FALSE(load("Carol"));
    expectUnchanged({kProfileNotFound, kCorruptProfile});

    testing::writeBytes(bob, std::vector<unsigned char>(98));
    EXPECT_FALSE(load("Bob"));
    expectUnchanged({kCorruptProfile});

    std::filesystem::remove(bob);
    std::filesystem::create_directory(bob);
    EXPECT_FALSE(load("Bob"));
    expectUnchanged({kFoundDirectory, kCorruptProfile});
    std::filesystem::remove(bob);

    // Long enough to be read, but its count claims records it does not hold.
    std::vector<unsigned char> claims(200);
    claims[4] = 9;
    testing::writeBytes(bob, claims);
    EXPECT_FALSE(load("Bob"));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].rfind(std::string(kCorruptProfile) + "\n", 0), 0u) << ui.messages[0];
    expectUnchanged(ui.messages);

    // A 99-byte file is read: a header that counts no record.
    testing::writeBytes(bob, std::vector<unsigned char>(99));
    ASSERT_TRUE(load("Bob"));
    EXPECT_FALSE(profileLoaded(state));
}

TEST_F(LoadProfileTest, AFileThatCannotBeOpenedIsReportedWithTheSystemsReason) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not apply to root";
    ::chmod(alice.c_str(), 0);
    EXPECT_FALSE(load("Alice"));
    EXPECT_EQ(ui.messages, Names{std::string(kCannotReadProfile) + "Permission denied"});
    EXPECT_FALSE(profileLoaded(state));
}

TEST(LoadingAProfileFile, RefusesShortFilesAndTakesOneWithNoRecordsAsAnEmptyTree) {
    auto refused = parseProfileFile(std::vector<unsigned char>(98, 0));
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error(), kCorruptProfile);
    auto empty = parseProfileFile(std::vector<unsigned char>(99, 0));
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->tree.empty());
    EXPECT_EQ(empty->tree.selected(), nullptr);
}

} // namespace
} // namespace quillfen
