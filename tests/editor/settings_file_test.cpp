// The settings file: what start-up makes of a damaged one, and drive paths.
#include "editor/settings_file.h"
#include "profiles/hand_prefix.h"
#include "profiles/profile_store.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <tuple>

namespace quillfen::settings {
namespace {

using testing::TempDir;

TEST(SettingsFile, ADamagedFileGivesTheDefaultsForWhatIsMissing) {
    TempDir dir;
    std::string path = dir.file("profile.txt");
    // What a damaged file does not give falls back to the default (the Editor's tests write and
    // read whole files).
    const std::tuple<std::string, std::string, std::string> damaged[] = {
        {"/srv/levels\r\n", "/srv/levels", kDefaultUsersKeyPath},
        {"\r\nSOFTWARE\\Mine\r\n", "c:", "SOFTWARE\\Mine"},
        {"", "c:", "SOFTWARE\\Visual Sciences\\Windows Lemmings\\Users"},
        {"/srv/levels\nSOFTWARE\\Mine", "/srv/levels", "SOFTWARE\\Mine"}, // LF alone, or nothing
    };
    for (const auto& [text, folder, key] : damaged) {
        std::ofstream(path, std::ios::binary) << text;
        EXPECT_EQ(readSettings(path).startupFolder, folder) << text;
        EXPECT_EQ(readSettings(path).usersKeyPath, key) << text;
    }
}

std::string canonical(const std::string& path) {
    return std::filesystem::canonical(path).string();
}

// A folder that is not there gives drive C:, and without it the working folder.
TEST(StartupFolder, DrivePathsGoThroughThePrefixHostPathsAreKeptAndMissingFoldersFallBack) {
    testing::HandPrefix prefix;
    TempDir elsewhere, empty;
    WinePrefixStore store(prefix.path());
    const std::string driveC = canonical(prefix.path() + "/drive_c");
    std::filesystem::create_directory(driveC + "/Levels");
    EXPECT_EQ(canonical(startupFolderPath("c:", store)), driveC);
    EXPECT_EQ(canonical(startupFolderPath("C:\\LEVELS", store)), driveC + "/Levels");
    EXPECT_EQ(startupFolderPath(elsewhere.path().string(), store), elsewhere.path().string());
    EXPECT_EQ(canonical(startupFolderPath("c:\\no such folder", store)), driveC);
    EXPECT_EQ(canonical(startupFolderPath("/no/such/folder", store)), driveC);
    WinePrefixStore bare(empty.path().string());
    EXPECT_EQ(startupFolderPath("/no/such/folder", bare), std::filesystem::current_path().string());
}

} // namespace
} // namespace quillfen::settings
