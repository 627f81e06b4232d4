// The host layer on the platform it is built for: these tests run on Linux and, built with
// MinGW, under Wine, with the same expectations.
#include "host/file_io.h"
#include "host/file_write.h"
#include "levelfile/level_file.h"
#include "levelfile/level_folder.h"
#include "levelfile/level_pack.h"
#include "levelfile/make_pack.h"
#include "temp_dir.h"

#include <algorithm>
#include <filesystem>
#include <future>
#include <gtest/gtest.h>
#include <thread>
#ifdef _WIN32
#include <windows.h>
#endif

namespace quillfen {
namespace {

using testing::TempDir;
using Bytes = std::vector<unsigned char>;

#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif

// A host path from UTF-8, as std::filesystem takes it on every platform.
std::filesystem::path hostPath(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

// A folder with a name that no single-byte code page holds, below a fresh temporary folder, and
// its path joined with the platform's own separator (on Windows a C:\ path).
class HostTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = temp.path().string() + kSeparator + "Lévels € ünïcode";
        std::filesystem::create_directory(hostPath(folder));
    }
    std::string file(const std::string& name) const { return folder + kSeparator + name; }
    Bytes read(const std::string& path) const {
        auto bytes = readWholeFile(path, 1 << 20);
        EXPECT_TRUE(bytes) << bytes.error();
        return bytes ? *bytes : Bytes{};
    }

    TempDir temp;
    std::string folder;
};

// Every byte value, the ones that text-mode files change (0x0D, 0x0A, 0x1A) among them.
Bytes everyByte() {
    Bytes bytes(3 * 256);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<unsigned char>(i);
    return bytes;
}

TEST_F(HostTest, FilesKeepEveryByteWrittenAndReadAndPathsAreToldApart) {
    std::string path = file("Zürich.bin");
    ASSERT_TRUE(writeFile(path, everyByte()));
    EXPECT_EQ(read(path), everyByte());
    auto opened = openFile(path);
    ASSERT_TRUE(opened);
    EXPECT_EQ(*opened->readAt(0x1A, 3), (Bytes{0x1A, 0x1B, 0x1C}));
    EXPECT_EQ(pathInfo(path)->size, everyByte().size());
#ifdef _WIN32
    EXPECT_EQ(folderOf("C:\\LEMM\\A.DAT"), "C:\\LEMM");
    EXPECT_EQ(folderOf("C:\\A.DAT"), "C:\\");
    EXPECT_EQ(folderOf("C:/LEMM/A.DAT"), "C:/LEMM");
#endif
}

// A pack is imported under its own file name however its path is written: from the working
// folder, and on Windows with "/" or after a drive alone; a sequel's pack is told by its name.
TEST_F(HostTest, APackIsImportedUnderItsNameHoweverItsPathIsWritten) {
    // Graphics set 0, which is the Windows game's 5 in a sequel's pack.
    const Bytes pack = testing::makePack({testing::packLevel(1, 40, "Pack")});
    ASSERT_TRUE(writeFile(file("LEVEL000.DAT"), pack));
    ASSERT_TRUE(writeFile(file("DLVEL001.DAT"), pack));
    std::vector<std::string> paths = {file("LEVEL000.DAT"), "DLVEL001.DAT",
                                      std::string(".") + kSeparator + "LEVEL000.DAT"};
#ifdef _WIN32
    paths.push_back(folder.substr(0, 2) + "DLVEL001.DAT");
    std::string forward = file("LEVEL000.DAT");
    std::replace(forward.begin(), forward.end(), '\\', '/');
    paths.push_back(forward);
#endif
    const std::filesystem::path working = std::filesystem::current_path();
    std::filesystem::current_path(hostPath(folder));
    for (const std::string& path : paths) {
        const bool sequel = path.find("DLVEL") != std::string::npos;
        const std::string stem = sequel ? "DLVEL001" : "LEVEL000";
        auto plan = levelfile::planImport(path, false, folder);
        if (!plan || plan->levels.size() != 1) {
            ADD_FAILURE() << path << ": " << (plan ? "not one level" : plan.error());
            continue;
        }
        EXPECT_EQ(plan->setName, stem) << path;
        EXPECT_EQ(plan->levels[0].fileName, stem + "_00.LVL") << path;
        EXPECT_EQ(plan->levels[0].bytes[levelfile::kGraphicsSetOffset + 1], sequel ? 5 : 0) << path;
        EXPECT_TRUE(levelfile::writeImport(*plan)) << path;
        EXPECT_EQ(read(file(stem + "_00.LVL")), plan->levels[0].bytes) << path;
    }
    std::filesystem::current_path(working);
}

TEST_F(HostTest, SavesReplaceTheFileAndItsBackupEachTimeAndLeaveNothingElse) {
    std::string path = file("Ünïcode profile.dat"), backup = path + "_backup";
    // A temporary that a stopped write left, and a user's file of a name much like one.
    ASSERT_TRUE(writeFile(file(".quillfen~Ab12Cd.tmp"), Bytes{1}));
    ASSERT_TRUE(writeFile(file(".quillfen-notes1"), Bytes{2}));
    Bytes first(100, 0x0A), second(200, 0x0D), third{0x1A, 0, 0x1A};
    for (const Bytes& bytes : {first, second, third})
        ASSERT_TRUE(writeFile(path, bytes, {.backup = backup}));
    EXPECT_EQ(read(path), third);
    EXPECT_EQ(read(backup), second);
    std::vector<std::string> names;
    for (const FolderEntry& entry : listFolder(folder))
        names.push_back(entry.name);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{".quillfen-notes1", "Ünïcode profile.dat",
                                               "Ünïcode profile.dat_backup"}));
    // A new file only where nothing is; no name that the system would cut at a zero byte.
    EXPECT_EQ(writeFile(path, Bytes{4}, {.mustBeNew = true}).error(), kAlreadyThere);
    EXPECT_EQ(writeFile(path + '\0', Bytes{4}, {.backup = backup}).error(), kZeroInFileName);
    EXPECT_EQ(read(path), third);
    ASSERT_TRUE(writeFile(file("new.dat"), Bytes{4}, {.mustBeNew = true}));
    EXPECT_EQ(read(file("new.dat")), Bytes{4});
}

TEST_F(HostTest, AReadOnlyOrHeldFileAndAFolderAreRefusedAndKept) {
    std::string path = file("Read only.dat");
    ASSERT_TRUE(writeFile(path, Bytes{1, 2, 3}));
    std::filesystem::permissions(hostPath(path), std::filesystem::perms::all,
                                 std::filesystem::perm_options::remove);
    auto refused = writeFile(path, Bytes{4}, {.backup = path + "_backup"});
    EXPECT_EQ(refused.error(), "the file is read-only");
    std::filesystem::permissions(hostPath(path), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add);
    EXPECT_EQ(read(path), (Bytes{1, 2, 3}));
    EXPECT_EQ(pathInfo(path + "_backup")->kind, EntryKind::Missing);
#ifdef _WIN32
    // Held by another program that shares no writes: refused in the system's own words.
    HANDLE held = ::CreateFileW(hostPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(writeFile(path, Bytes{4}).error(), "Sharing violation");
    ::CloseHandle(held);
#endif

    EXPECT_FALSE(writeFile(folder, Bytes{4}, {.backup = folder + "_backup"}));
    EXPECT_FALSE(openFile(folder));
    EXPECT_TRUE(isFolder(folder));
}

TEST_F(HostTest, LevelFoldersListTheirLevelFilesSortedWithoutRegardToCase) {
    for (const char* name : {"b.lvl", "Ä.LVL", "a.Lvl", "note.txt", ".hidden.lvl"})
        ASSERT_TRUE(writeFile(file(name), Bytes(2048, 0)));
    std::filesystem::create_directory(hostPath(file("folder.lvl")));
    EXPECT_EQ(levelfile::scanLevelFiles(folder),
              (std::vector<std::string>{"a.Lvl", "b.lvl", "Ä.LVL"}));
}

// The holder's temporary may be one it is still writing: only a lock's holder removes them.
TEST_F(HostTest, ASaveWaitsForTheFolderLockAndGivesUp) {
    std::promise<bool> locked;
    std::promise<void> done;
    std::thread holder([&] {
        auto lock = lockFolder(folder);
        locked.set_value(lock && writeFile(file(".quillfen~Live01.tmp"), Bytes{2}));
        done.get_future().wait();
    });
    EXPECT_TRUE(locked.get_future().get());
    auto refused = writeFile(file("x.dat"), Bytes{1});
    done.set_value();
    holder.join();
    EXPECT_EQ(refused.error(), "another program is saving into this folder");
    EXPECT_EQ(pathInfo(file("x.dat"))->kind, EntryKind::Missing);
    EXPECT_EQ(read(file(".quillfen~Live01.tmp")), Bytes{2});
}

#ifndef _WIN32
// On Windows a path of such a name is longer than MAX_PATH before its name is too long.
TEST_F(HostTest, ABackupNameTooLongIsToldAsTheBackupsName) {
    std::string name(250, 'x'), path = file(name);
    ASSERT_TRUE(writeFile(path, Bytes{1}));
    EXPECT_EQ(writeFile(path, Bytes{2}, {.backup = path + "_backup"}).error(),
              "the backup's name " + name + "_backup is too long");
    EXPECT_EQ(read(path), Bytes{1});
}
#endif

} // namespace
} // namespace quillfen
