// Load Profile and the profile listing, through the store over a hand-written prefix.
#include "database/database_reader.h"
#include "hand_prefix.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillfen {
namespace {

class LoadProfileTest : public testing::ProfilePrefixTest {
protected:
    // Load Profile of the file at `host`.
    Result<LoadedProfile> load(const std::string& host, const Progress& progress = {}) {
        return LoadProfile({"C:\\X.DAT", host}, progress);
    }
};

// A registry file that cannot be read is not taken for one without profiles.
TEST_F(LoadProfileTest, ARegistryTooLargeToBeWinesIsRefusedWithItsLength) {
    std::string registry = prefix.path() + "/system.reg";
    std::filesystem::resize_file(registry, (std::uintmax_t{256} << 20) + 1);
    EXPECT_EQ(LoadProfiles(store, kDefaultUsersKeyPath).error(),
              "ERROR: cannot read the registry file " + registry +
                  ": the file is 268435457 bytes long, more than 268435456");
}

TEST_F(LoadProfileTest, ALoadReportsItsProgressOverTheFileInFewSteps) {
    std::vector<std::pair<double, double>> steps;
    auto loaded = load(alice, [&](double value, double max) { steps.push_back({value, max}); });
    ASSERT_TRUE(loaded) << loaded.error();
    ASSERT_FALSE(steps.empty());
    EXPECT_EQ(steps.front(), std::make_pair(0.0, double(aliceBytes.size() + 1)));
    EXPECT_EQ(steps.back().first, 0.0);
    EXPECT_LE(steps.size(), 110u);
}

TEST_F(LoadProfileTest, FilesClaimingTooMuchOrUnreadableAreRefusedAndAHeaderAloneIsEmpty) {
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

} // namespace
} // namespace quillfen
