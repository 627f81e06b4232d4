// The host layer on the platform it is built for: these tests run on Linux and, built with
// MinGW, under Wine, with the same expectations.
#include "common/windows1252.h"
#include "host/durable_calls.h"
#include "host/file_io.h"
#include "host/file_write.h"
#include "levelfile/level_file.h"
#include "levelfile/level_folder.h"
#include "levelfile/level_pack.h"
#include "levelfile/make_pack.h"
#include "temp_dir.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <future>
#include <gtest/gtest.h>
#include <numeric>
#include <thread>
#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif
#ifdef __linux__
#include <sys/mount.h>
#include <sys/statvfs.h>
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
    // Writes the file as another program would: in place, its identity kept.
    void writeInPlace(const std::string& path, const Bytes& bytes) const {
        std::ofstream(hostPath(path), std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
    Bytes read(const std::string& path) const {
        auto bytes = readWholeFile(path, 1 << 20);
        EXPECT_TRUE(bytes) << bytes.error();
        return bytes ? *bytes : Bytes{};
    }

    TempDir temp;
    std::string folder;
};

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

TEST_F(HostTest, SavesKeepEveryByteAndReplaceTheFileAndItsBackupEachTimeLeavingNothingElse) {
    std::string path = file("Ünïcode profile.dat"), backup = path + "_backup";
    // A temporary that a stopped write left, and a user's file of a name much like one.
    ASSERT_TRUE(writeFile(file(".quillfen~Ab12Cd.tmp"), Bytes{1}));
    ASSERT_TRUE(writeFile(file(".quillfen-notes1"), Bytes{2}));
    // Every byte value, the ones that text-mode files change (0x0D, 0x0A, 0x1A) among them.
    Bytes first(3 * 256), second(200, 0x0D), third{0x1A, 0, 0x1A};
    std::iota(first.begin(), first.end(), 0);
    ASSERT_TRUE(writeFile(path, first, {.backup = backup}));
    EXPECT_EQ(read(path), first);
    EXPECT_EQ(pathInfo(path)->size, first.size());
    {
        auto opened = openFile(path);
        ASSERT_TRUE(opened);
        EXPECT_EQ(*opened->readAt(0x1A, 3), (Bytes{0x1A, 0x1B, 0x1C}));
    }
#ifdef _WIN32
    EXPECT_EQ(folderOf("C:\\LEMM\\A.DAT"), "C:\\LEMM");
    EXPECT_EQ(folderOf("C:\\A.DAT"), "C:\\");
    EXPECT_EQ(folderOf("C:/LEMM/A.DAT"), "C:/LEMM");
    EXPECT_EQ(pathIn("C:\\", "LEMM"), "C:\\LEMM");
#endif
    for (const Bytes& bytes : {second, third})
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
    // A read-only backup too.
    ASSERT_TRUE(writeFile(path + "_backup", Bytes{7}));
    std::filesystem::permissions(hostPath(path + "_backup"), std::filesystem::perms::all,
                                 std::filesystem::perm_options::remove);
    EXPECT_EQ(writeFile(path, Bytes{4}, {.backup = path + "_backup"}).error(),
              "the backup " + path + "_backup is read-only");
    EXPECT_EQ(read(path), (Bytes{1, 2, 3}));
    EXPECT_EQ(read(path + "_backup"), Bytes{7});
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

// Names of one file are told as one, a link is made only where nothing is, a touch makes a file
// newer, and a write of what was read is refused once another program changed the file or put
// another in its place.
TEST_F(HostTest, AFileIsKnownByItsIdentityWhateverItsName) {
    std::string path = file("a.dat"), other = file("b.dat"), link = file("link.dat");
    ASSERT_TRUE(writeFile(path, Bytes{1, 2, 3}));
    ASSERT_TRUE(writeFile(other, Bytes{1, 2, 3}));
    std::filesystem::create_hard_link(hostPath(path), hostPath(file("second.dat")));
    EXPECT_TRUE(*sameFile(path, file("second.dat")));
    EXPECT_FALSE(*sameFile(path, other));
    EXPECT_FALSE(*sameFile(path, file("missing.dat")));
    if (auto made = makeLink("a.dat", link)) {
        EXPECT_TRUE(*sameFile(link, path));
        EXPECT_FALSE(makeLink("b.dat", link));
        EXPECT_TRUE(*sameFile(link, path));
    }
    EXPECT_FALSE(makeLink("a.dat", other));
    EXPECT_EQ(read(other), (Bytes{1, 2, 3}));
    // A file taken up again is seen to be newer than it was.
    std::filesystem::last_write_time(hostPath(path), std::filesystem::file_time_type::clock::now() -
                                                         std::chrono::hours(1));
    const std::int64_t before = pathInfo(path)->changed;
    ASSERT_TRUE(touchFile(path));
    EXPECT_GT(pathInfo(path)->changed, before);

    auto read = readState(path, 100);
    ASSERT_TRUE(read);
    writeInPlace(path, Bytes{1, 2, 4});
    EXPECT_EQ(writeFile(path, Bytes{5}, {.whenRead = *read}).error(), kChangedMeanwhile);
    read = readState(path, 100);
    std::filesystem::rename(hostPath(other), hostPath(path));
    EXPECT_EQ(writeFile(path, Bytes{5}, {.whenRead = *read}).error(), kChangedMeanwhile);
    EXPECT_EQ(this->read(path), (Bytes{1, 2, 3}));
    EXPECT_TRUE(writeFile(path, Bytes{5}, {.whenRead = *readState(path, 100)}));
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
// Holds a write in place between its bytes and its length, where another write could come in.
struct SlowLength : DurableCallObserver {
    bool fails(DurableCall call, const std::string&) override {
        if (call == DurableCall::SetLength)
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        return false;
    }
};

// Two programs save one profile at once through two names in two folders: each write waits for
// the other, so the file holds the whole of one of them, never the one cut to the other's length.
TEST_F(HostTest, SavesThroughTwoNamesOfOneFileWaitForEachOther) {
    std::filesystem::create_directory(hostPath(file("a")));
    std::filesystem::create_directory(hostPath(file("b")));
    const std::string names[] = {file("a/X.DAT"), file("b/Y.DAT")};
    const Bytes wrote[] = {Bytes(1 << 18, 'a'), Bytes(1 << 17, 'b')};
    ASSERT_TRUE(writeFile(names[0], Bytes{1}));
    std::filesystem::create_hard_link(names[0], names[1]);
    for (int round = 0; round < 5; ++round) {
        int start[2];
        ASSERT_EQ(::pipe(start), 0);
        pid_t writers[2];
        for (int i = 0; i < 2; ++i) {
            writers[i] = ::fork();
            if (writers[i] == 0) {
                char go;
                ::close(start[1]);
                (void)::read(start[0], &go, 1);
                SlowLength slow;
                if (i == 0)
                    observeDurableCalls(&slow);
                ::_exit(writeFile(names[i], wrote[i]) ? 0 : 1);
            }
        }
        ::close(start[0]);
        ::close(start[1]);
        for (pid_t writer : writers) {
            int status = 0;
            ::waitpid(writer, &status, 0);
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "round " << round;
        }
        Bytes now = read(names[0]);
        ASSERT_TRUE(now == wrote[0] || now == wrote[1]) << "round " << round << ": " << now.size();
    }
}

#ifdef __linux__
// On a disk with room for some of a save's copies and not the rest, a refused save of a file
// with two names leaves the file and its backup as they were; one that goes ahead replaces both.
TEST_F(HostTest, ASaveRefusedForWantOfSpaceKeepsTheBackup) {
    TempDir disk;
    if (::mount("tmpfs", disk.path().c_str(), "tmpfs", 0, "size=1m") != 0)
        GTEST_SKIP() << "no tmpfs can be mounted here";
    const std::string path = disk.file("P.DAT"), backup = path + "_backup";
    const Bytes older(100, 3), old(9000, 1), bytes(60000, 2);
    for (std::uint64_t room = 0; room < 40 * 4096; room += 4096) {
        SCOPED_TRACE(room);
        std::filesystem::remove(disk.file("filler"));
        std::filesystem::remove(disk.file("Q.DAT"));
        testing::writeBytes(backup, older);
        testing::writeBytes(path, old);
        std::filesystem::create_hard_link(path, disk.file("Q.DAT"));
        struct statvfs space {};
        ASSERT_EQ(::statvfs(disk.path().c_str(), &space), 0);
        const std::uint64_t free = std::uint64_t{space.f_bavail} * space.f_frsize;
        int filler = ::open(disk.file("filler").c_str(), O_CREAT | O_WRONLY, 0600);
        ASSERT_EQ(::posix_fallocate(filler, 0, static_cast<off_t>(free - room)), 0);
        ::close(filler);
        const bool saved = writeFile(path, bytes, {.backup = backup}).ok();
        EXPECT_EQ(read(path), saved ? bytes : old);
        EXPECT_EQ(read(disk.file("Q.DAT")), saved ? bytes : old);
        EXPECT_EQ(read(backup), saved ? old : older);
        EXPECT_EQ(listFolder(disk.path().string()).size(), 4u);
    }
    ::umount2(disk.path().c_str(), MNT_DETACH);
}
#endif

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
