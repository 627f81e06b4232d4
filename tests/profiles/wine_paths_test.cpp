// Windows paths of the registry mapped to the prefix's files as Wine maps them, and the file
// tests Load Profile and Save Profile Data make on them.
#include "hand_prefix.h"
#include "host/file_io.h"
#include "profiles/game_folder.h"
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

TEST(GameFolder, ALevelNodesFileIsInItsGroupsFolderOfTheGamesLevelFolderInAnyCase) {
    HandPrefix prefix;
    for (const char* file :
         {"LEMM/level/cust/Tunnel.LVL", "LEMM/level/cust/CAF\u00C9.LVL", "levels/x.lvl"})
        testing::writeBytes(prefix.onDriveC(file), std::vector<unsigned char>(1));
    const std::string lemm = prefix.path() + "/drive_c/LEMM", c = prefix.path() + "/dosdevices/c:";
    GameFolder game{lemm, "C:\\LEMM", GameFolderSource::Given, prefix.path()};
    // Folder and file texts are the tree's Windows-1252; paths are UTF-8.
    for (auto [folder, file, host, windows] : std::vector<std::array<std::string, 4>>{
             {"CUST", "tunnel.lvl", lemm + "/level/cust/Tunnel.LVL",
              "C:\\LEMM\\LEVEL\\CUST\\tunnel.lvl"},
             {"cust", "caf\xE9.lvl", lemm + "/level/cust/CAF\u00C9.LVL",
              "C:\\LEMM\\LEVEL\\cust\\caf\u00E9.lvl"},
             {"NEW", "A.LVL", lemm + "/level/NEW/A.LVL", "C:\\LEMM\\LEVEL\\NEW\\A.LVL"},
             // A file name never leaves its group's folder.
             {"CUST", "..\\..\\x.lvl", lemm + "/level/cust/x.lvl",
              "C:\\LEMM\\LEVEL\\CUST\\..\\..\\x.lvl"},
             // A folder text that is an absolute path is that folder, on the prefix's drives.
             {"C:\\LEVELS\\", "X.LVL", c + "/levels/x.lvl", "C:\\LEVELS\\X.LVL"},
             {"\\Levels", "x.lvl", c + "/levels/x.lvl", "C:\\Levels\\x.lvl"}}) {
        EXPECT_EQ(levelFileHostPath(game, folder, file), host) << folder << " " << file;
        EXPECT_EQ(levelFileWindowsPath(game, folder, file), windows) << folder << " " << file;
    }
}

TEST(GameFolder, TheSearchTakesTheGivenTheChosenTheProfilesFolderThenAnInstallOnDriveC) {
    HandPrefix prefix;
    std::filesystem::create_directory_symlink("/", prefix.path() + "/dosdevices/z:");
    testing::TempDir elsewhere;
    const std::string lemm = prefix.onDriveC("LEMM"),
                      profileFile = prefix.onDriveC("LEMM/USERS/A.DAT");
    std::filesystem::create_directories(lemm + "/Level/CUST");
    // Three deep below drive_c, two below Program Files (x86); LEVEL without STYLES is no install.
    for (const char* folder :
         {"Program Files (x86)/VS/Lemmings/level", "Program Files (x86)/VS/Lemmings/Styles",
          "Games/Half/LEVEL", "windows/Lemmings/LEVEL", "windows/Lemmings/STYLES"})
        std::filesystem::create_directories(prefix.onDriveC(folder));
    const ProfilePath throughDrive{"C:\\LEMM\\USERS\\A.DAT",
                                   prefix.path() + "/dosdevices/c:/LEMM/USERS/A.DAT"};
    using S = GameFolderSource;
    struct Case {
        GameSearch search;
        std::optional<std::tuple<std::string, std::string, S>> found;
    };
    std::string installed = prefix.path() + "/drive_c/Program Files (x86)/VS/Lemmings";
    std::string zPath = "Z:" + elsewhere.path().string();
    std::replace(zPath.begin(), zPath.end(), '/', '\\');
    for (const Case& test : std::vector<Case>{
             {{"", "", std::nullopt, prefix.path()},
              std::tuple{installed, "C:\\Program Files (x86)\\VS\\Lemmings", S::DriveC}},
             {{"", "", throughDrive, prefix.path()},
              std::tuple{prefix.path() + "/dosdevices/c:/LEMM", "C:\\LEMM", S::Profile}},
             {{"", "", ProfilePath{"", profileFile}, prefix.path()},
              std::tuple{lemm, "C:\\LEMM", S::Profile}},
             {{"", elsewhere.path().string(), throughDrive, prefix.path()},
              std::tuple{elsewhere.path().string(), zPath, S::Chosen}},
             {{"", elsewhere.file("gone"), std::nullopt, prefix.path()},
              std::tuple{installed, "C:\\Program Files (x86)\\VS\\Lemmings", S::DriveC}},
             {{lemm, elsewhere.path().string(), throughDrive, prefix.path()},
              std::tuple{lemm, "C:\\LEMM", S::Given}},
             // A given folder that is not there overrides the search all the same.
             {{elsewhere.file("gone"), "", throughDrive, prefix.path()}, std::nullopt}}) {
        auto found = findGameFolder(test.search);
        ASSERT_EQ(found.has_value(), test.found.has_value()) << test.search.chosen;
        if (found) {
            EXPECT_EQ(std::tuple(found->hostPath, found->windowsPath, found->source), *test.found);
        }
    }
    std::filesystem::remove_all(prefix.path() + "/drive_c/Program Files (x86)");
    GameSearch none{"", "", std::nullopt, prefix.path()};
    EXPECT_FALSE(findGameFolder(none));
    EXPECT_NE(gameFolderNotFound(none).find(prefix.path() + "/drive_c and in "), std::string::npos)
        << gameFolderNotFound(none);
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
