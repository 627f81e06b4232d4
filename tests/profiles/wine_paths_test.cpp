// Windows paths of the registry mapped to the prefix's files as Wine maps them, and the file
// tests Load Profile and Save Profile Data make on them.
#include "hand_prefix.h"
#include "host/file_io.h"
#include "profiles/profile_store.h"
#include "profiles/windows_paths.h"

#include <gtest/gtest.h>

namespace quillfen {
namespace {

using testing::HandPrefix;

TEST(WinePaths, EachComponentIsFoundWithoutRegardToCaseInEitherSpellingAndOnEachDrive) {
    HandPrefix prefix;
    const std::string zoe = "Z\u00F6e/zo\u00EB.dat", x = prefix.onDriveC("x.dat");
    testing::writeBytes(prefix.onDriveC("Lemm/Users/Alice.dat"), std::vector<unsigned char>(5));
    testing::writeBytes(prefix.onDriveC(zoe), std::vector<unsigned char>(3));
    std::filesystem::create_directory_symlink("/", prefix.path() + "/dosdevices/z:");
    WinePrefixStore store(prefix.path());
    const std::string c = prefix.path() + "/dosdevices/c:", alice = c + "/Lemm/Users/Alice.dat";
    const std::string here = std::filesystem::current_path().string();
    std::string viaZ = "Z:" + x; // Z: is the host's root, as in every Wine prefix.
    std::replace(viaZ.begin(), viaZ.end(), '/', '\\');
    // What is missing keeps the spelling given, from the first missing component on.
    for (auto [windows, host] : std::vector<std::pair<std::string, std::string>>{
             {"C:\\LEMM\\USERS\\ALICE.DAT", alice},
             {"c:/lemm/users/alice.dat", alice},
             {"\\LEMM\\.\\GONE\\..\\USERS\\\\ALICE.DAT", alice},
             // A path from the root lies on drive C:, never at the host's root.
             {"/lemm/users/alice.dat", alice},
             // Windows drops a folder's trailing dots and the last name's dots and spaces.
             {"C:\\LEMM.\\USERS..\\ALICE.DAT. . ", alice},
             {"C:\\LEMM \\A. \\B", c + "/LEMM /A. /B"},
             {"C:\\LEMM\\NEW\\USERS\\A.DAT", c + "/Lemm/NEW/USERS/A.DAT"},
             // "ZÖE\ZOË.DAT" meets the host's names without regard to case beyond ASCII.
             {"C:\\Z\xC3\x96"
              "E\\ZO\xC3\x8B.DAT",
              c + "/" + zoe},
             {viaZ, prefix.path() + "/dosdevices/z:" + x},
             // A relative path never goes above the working folder.
             {"Not Found", here + "/Not Found"},
             {"..", here},
             {"", ""}})
        EXPECT_EQ(store.hostPath(windows), host) << windows;
    // A drive the prefix does not have names no file.
    EXPECT_FALSE(pathExists(store.hostPath("Q:\\x.dat")));
}

// Beside the refusals that the profile commands show (tests/profiles/cli_profiles_test.cpp).
TEST(WindowsPaths, WhatWindowsTakesForNoFileIsToldAndEveryOtherPathIsTaken) {
    for (auto [path, reason] : std::vector<std::pair<std::string, std::string>>{
             {"LEMM\\CONSOLE.DAT", ""},
             {"C:\\COM0\\LPT10.DAT", ""},
             {"C:\\LEMM\\Lpt9 .tar.gz", "Lpt9 is the name of a device"},
             {"C:\\CON.\\A.DAT", "CON is the name of a device"},
             {std::string("C:\\A\0B", 6), "Windows allows no control character in a name"}})
        EXPECT_EQ(unusableWindowsPath(path), reason) << path;
}

} // namespace
} // namespace quillfen
