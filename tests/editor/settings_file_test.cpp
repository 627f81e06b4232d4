// The settings file: what start-up makes of a damaged one, and drive paths.
#include "editor/settings_file.h"
#include "profiles/profile_store.h"
#include "temp_dir.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <tuple>

namespace quillfen::settings {
namespace {

using testing::TempDir;

void writeText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

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
        writeText(path, text);
        EXPECT_EQ(readSettings(path).startupFolder, folder) << text;
        EXPECT_EQ(readSettings(path).usersKeyPath, key) << text;
    }
}

// A prefix with only its drive C: link, as Wine makes one.
struct Prefix {
    TempDir dir;
    Prefix() {
        std::filesystem::create_directories(dir.path() / "drive_c" / "Levels");
        std::filesystem::create_directories(dir.path() / "dosdevices");
        std::filesystem::create_directory_symlink("../drive_c", dir.path() / "dosdevices" / "c:");
    }
    std::string driveC() const {
        return std::filesystem::canonical(dir.path() / "drive_c").string();
    }
};

std::string canonical(const std::string& path) {
    return std::filesystem::canonical(path).string();
}

TEST(StartupFolder, DrivePathsGoThroughThePrefixHostPathsAreKeptAndMissingFoldersFallBack) {
    Prefix prefix;
    TempDir elsewhere, empty;
    WinePrefixStore store(prefix.dir.path().string());
    EXPECT_EQ(canonical(startupFolderPath("c:", store)), prefix.driveC());
    EXPECT_EQ(canonical(startupFolderPath("C:\\LEVELS", store)), prefix.driveC() + "/Levels");
    EXPECT_EQ(startupFolderPath(elsewhere.path().string(), store), elsewhere.path().string());
    // A folder that is not there gives drive C:, and without it the working folder.
    EXPECT_EQ(canonical(startupFolderPath("c:\\no such folder", store)), prefix.driveC());
    EXPECT_EQ(canonical(startupFolderPath("/no/such/folder", store)), prefix.driveC());
    WinePrefixStore bare(empty.path().string());
    EXPECT_EQ(startupFolderPath("/no/such/folder", bare), std::filesystem::current_path().string());
}

} // namespace
} // namespace quillfen::settings
