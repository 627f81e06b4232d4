// The registry of the Windows it runs on (under Wine: the test prefix's), with the profiles
// that scripts/test-windows.sh wrote there with `wine reg add`, in the 32-bit view and beside
// it in the 64-bit one.
#include "profiles/windows_registry_store.h"

#include <gtest/gtest.h>

namespace quillfen {
namespace {

constexpr char kUsers[] = "Software\\Quillfen Test\\Users";

TEST(WindowsRegistryStore, ListsTheProfilesOfThe32BitViewAsTheGameSeesThem) {
    WindowsRegistryStore store;
    // Sorted without regard to case; Bob64 lives in the 64-bit view only.
    EXPECT_EQ(store.EnumRegKey(kUsers, 0), "Alice");
    EXPECT_EQ(store.EnumRegKey(kUsers, 1), "multi");
    // The ANSI calls give Windows-1252, and "?" for a character without a byte there.
    EXPECT_EQ(store.EnumRegKey(kUsers, 2), "Zo\xEB ?mega");
    EXPECT_EQ(store.EnumRegKey(kUsers, 3), kNotFound);
    EXPECT_EQ(store.EnumRegKey(kUsers, -1), kNotFound);
    EXPECT_EQ(store.EnumRegKey("Software\\Quillfen Test\\Nothing", 0), kNotFound);
}

TEST(WindowsRegistryStore, GivesTextValuesUpToTheirFirstZeroAndTheSentinelForTheRest) {
    WindowsRegistryStore store;
    std::string users = kUsers;
    EXPECT_EQ(store.GetRegValue(users + "\\Alice", "DatabaseName"),
              "C:\\quillfen-test\\Zo\xEB \x80\\ALICE.DAT");
    EXPECT_EQ(store.GetRegValue(users + "\\Zo\xEB ?mega", "DatabaseName"), kNotFound);
    EXPECT_EQ(store.GetRegValue(users + "\\multi", "DatabaseName"), "first");
    EXPECT_EQ(store.GetRegValue(users + "\\multi", "Number"), kNotFound);
    EXPECT_EQ(store.GetRegValue(users + "\\multi", "Missing"), kNotFound);
    EXPECT_EQ(store.GetRegValue(users + "\\Bob64", "DatabaseName"), kNotFound);
}

TEST(WindowsRegistryStore, UsesDatabasePathsAsTheRegistryGivesThem) {
    WindowsRegistryStore store;
    EXPECT_EQ(store.hostPath("C:\\LEMM\\USERS\\Zo\xEB.DAT"), "C:\\LEMM\\USERS\\Zoë.DAT");
}

} // namespace
} // namespace quillfen
