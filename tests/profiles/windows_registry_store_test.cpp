// The registry of the Windows it runs on (under Wine: the test prefix's), with the profiles
// that scripts/test-windows.sh wrote there with `wine reg add`, in the 32-bit view and beside
// it in the 64-bit one.
#include "profiles/windows_registry_store.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace quillfen {
namespace {

TEST(WindowsRegistryStore, SeesTheProfilesOfThe32BitViewAsTheGameSeesThem) {
    WindowsRegistryStore store;
    const std::string users = "Software\\Quillfen Test\\Users";
    // Sorted without regard to case; Bob64 lives in the 64-bit view only. Names and texts come
    // in UTF-8, whatever code page would hold them.
    const std::string omega = "Zo\xC3\xAB \xCE\xA9mega", chinese = "\xE4\xB8\xAD\xE6\x96\x87";
    for (auto [position, name] : std::vector<std::pair<int, std::string>>{
             {0, "Alice"}, {1, "multi"}, {2, omega}, {3, chinese}, {4, kNotFound}, {-1, kNotFound}})
        EXPECT_EQ(store.EnumRegKey(users, position), name) << position;
    EXPECT_EQ(store.EnumRegKey("Software\\Quillfen Test\\Nothing", 0), kNotFound);

    // Texts up to their first zero; the sentinel for what is no text or cannot be opened.
    EXPECT_EQ(store.GetRegValue(users + "\\Alice", "DatabaseName"),
              "C:\\quillfen-test\\Zo\xC3\xAB \xE2\x82\xAC\\ALICE.DAT");
    EXPECT_EQ(store.GetRegValue(users + "\\" + omega, "DatabaseName"), "C:\\\xCE\xA9.DAT");
    EXPECT_EQ(store.GetRegValue(users + "\\multi", "DatabaseName"), "first");
    for (auto [key, value] : std::vector<std::pair<std::string, std::string>>{
             {"multi", "Number"}, {"multi", "Missing"}, {"Bob64", "DatabaseName"}})
        EXPECT_EQ(store.GetRegValue(users + "\\" + key, value), kNotFound) << key << value;

    // Database paths are read as the system reads them, a relative one in full.
    EXPECT_EQ(store.hostPath("C:\\LEMM\\USERS\\Zo\xC3\xAB.DAT"), "C:\\LEMM\\USERS\\Zoë.DAT");
    EXPECT_EQ(store.hostPath("LEMM\\A.DAT. "),
              (std::filesystem::current_path() / "LEMM\\A.DAT").string());
}

} // namespace
} // namespace quillfen
