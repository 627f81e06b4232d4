// Windows paths of the registry mapped to the prefix's files as Wine maps them, and the file
// tests Load Profile and Save Profile Data make on them.
#include "database/scripted_user_interface.h"
#include "hand_prefix.h"
#include "profiles/profile_files.h"
#include "profiles/profile_store.h"

#include <gtest/gtest.h>

namespace quillfen {
namespace {

using testing::HandPrefix;

TEST(WinePaths, EachComponentIsFoundWithoutRegardToCaseInEitherSpellingAndOnEachDrive) {
    HandPrefix prefix;
    testing::writeBytes(prefix.onDriveC("Lemm/Users/Alice.dat"), std::vector<unsigned char>(5));
    testing::writeBytes(prefix.onDriveC("Z\xC3\xB6"
                                        "e/zo\xC3\xAB.dat"),
                        std::vector<unsigned char>(3));
    std::filesystem::create_directory_symlink("/", prefix.path() + "/dosdevices/z:");
    WinePrefixStore store(prefix.path());
    std::string drive = prefix.path() + "/dosdevices/c:";

    EXPECT_EQ(store.hostPath("C:\\LEMM\\USERS\\ALICE.DAT"), drive + "/Lemm/Users/Alice.dat");
    EXPECT_EQ(store.hostPath("c:/lemm/users/alice.dat"), drive + "/Lemm/Users/Alice.dat");
    EXPECT_EQ(store.hostPath("\\LEMM\\.\\GONE\\..\\USERS\\\\ALICE.DAT"),
              drive + "/Lemm/Users/Alice.dat");
    // What is missing keeps the spelling given, from the first missing component on.
    EXPECT_EQ(store.hostPath("C:\\LEMM\\USERS\\ALICE.DAT_backup"),
              drive + "/Lemm/Users/ALICE.DAT_backup");
    EXPECT_EQ(store.hostPath("C:\\LEMM\\NEW\\USERS\\A.DAT"), drive + "/Lemm/NEW/USERS/A.DAT");
    EXPECT_EQ(FileExists(store.hostPath("C:\\LEMM\\USERS\\ALICE.DAT")), true);

    // "ZÖE\ZOË.DAT" in Windows-1252 bytes meets the UTF-8 names of the host.
    std::string mapped = store.hostPath("C:\\Z\xD6"
                                        "E\\ZO\xCB.DAT");
    EXPECT_EQ(mapped, drive + "/Z\xC3\xB6"
                              "e/zo\xC3\xAB.dat");
    ScriptedUserInterface ui;
    EXPECT_EQ(GetFileLength(mapped, ui), 3u);

    // Z: is the host's root, as in every Wine prefix.
    std::string file = prefix.onDriveC("x.dat");
    testing::writeBytes(file, std::vector<unsigned char>(7));
    std::string viaZ = "Z:" + file;
    std::replace(viaZ.begin(), viaZ.end(), '/', '\\');
    EXPECT_TRUE(FileExists(store.hostPath(viaZ)));
    EXPECT_EQ(store.hostPath(file), file);
    // A drive the prefix does not have names no file.
    EXPECT_FALSE(FileExists(store.hostPath("Q:\\x.dat")));
    EXPECT_EQ(store.hostPath("Not Found"), "Not Found");
    EXPECT_EQ(store.hostPath(""), "");
}

TEST(ProfileFiles, LengthsAndExistenceAsTheFileSearchReportsThem) {
    testing::TempDir dir;
    testing::writeBytes(dir.file("db.dat"), std::vector<unsigned char>(1234));
    testing::writeBytes(dir.file(".hidden"), std::vector<unsigned char>(1234));
    std::filesystem::create_directory(dir.file("folder"));
    ScriptedUserInterface ui;

    EXPECT_EQ(GetFileLength(dir.file("db.dat"), ui), 1234u);
    EXPECT_EQ(GetFileLength(dir.file("missing"), ui), 0u);
    EXPECT_EQ(GetFileLength(dir.file(".hidden"), ui), 0u);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(GetFileLength(dir.file("folder"), ui), 0u);
    EXPECT_EQ(ui.messages, std::vector<std::string>{kFoundDirectory});

    EXPECT_TRUE(FileExists(dir.file("db.dat")));
    EXPECT_TRUE(FileExists(dir.file("folder")));
    EXPECT_FALSE(FileExists(dir.file("missing")));
    EXPECT_FALSE(FileExists(""));
}

} // namespace
} // namespace quillfen
