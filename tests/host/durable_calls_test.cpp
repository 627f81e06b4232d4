// The flushes and renames on which a save's durability rests, watched and failed through the
// host layer's observer: each is made in its place, and whichever fails, every name still holds
// a complete file and no temporary is left.
#include "host/durable_calls.h"
#include "host/file_io.h"
#include "host/file_write.h"
#include "temp_dir.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <utility>
#ifndef _WIN32
#include <climits>
#include <csignal>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace quillfen {
namespace {

using Bytes = std::vector<unsigned char>;
using Calls = std::vector<std::string>;

// The paths of the files and folders that the system flushed, when a test looks; the next
// flush fails as a disk would when asked.
Calls* systemFlushes = nullptr;
[[maybe_unused]] bool failNextFlush = false;

} // namespace
} // namespace quillfen

#ifdef __linux__
// The C library's fsync, taken over in this program, so that the test sees the calls that
// reach the system and not only what the host layer meant to do.
extern "C" int fsync(int fd) {
    if (std::exchange(quillfen::failNextFlush, false)) {
        errno = EIO;
        return -1;
    }
    int result = static_cast<int>(::syscall(SYS_fsync, fd));
    if (quillfen::systemFlushes && result == 0) {
        char path[PATH_MAX];
        std::string link = "/proc/self/fd/" + std::to_string(fd);
        ssize_t n = ::readlink(link.c_str(), path, sizeof path);
        quillfen::systemFlushes->emplace_back(path, n > 0 ? static_cast<std::size_t>(n) : 0);
    }
    return result;
}
#endif

namespace quillfen {
namespace {

// The file in folder "new" and its backup in folder "old", so that each flush names its folder.
class DurableCalls : public ::testing::Test, public DurableCallObserver {
protected:
    DurableCalls() {
        std::filesystem::create_directory(dir.path() / "new");
        std::filesystem::create_directory(dir.path() / "old");
        observeDurableCalls(this);
        systemFlushes = &flushed;
    }
    ~DurableCalls() override {
        observeDurableCalls(nullptr);
        systemFlushes = nullptr;
    }

    // "new/file", "old/temporary"... for a path in the test's folder.
    std::string nameOf(const std::string& path) const {
        std::string name = path.substr(root.size() + 1);
        std::replace(name.begin(), name.end(), '\\', '/');
        if (auto temporary = name.find("/.quillfen~"); name.ends_with(".tmp"))
            name = name.substr(0, temporary) + "/temporary";
        return name;
    }

    // What the system flushed, named as the calls name it.
    Calls flushedNames() const {
        Calls names;
        std::string canonical = std::filesystem::canonical(dir.path()).string();
        for (const std::string& path : flushed)
            names.push_back(path.starts_with(canonical + "/")
                                ? nameOf(root + path.substr(canonical.size()))
                                : path);
        return names;
    }

    // Records the call as "flush file new/temporary", "rename to old/backup"...; fails the one
    // at `failAt` and the calls named `failOn`; before a rename named `raceOn`, another program
    // makes a file at its target.
    bool fails(DurableCall call, const std::string& path) override {
        std::string name = path.empty() ? "in place" : nameOf(path);
        const char* kinds[] = {"flush file ", "flush folder ", "rename to ",
                               "write ",      "set length ",   "remove "};
        calls.push_back(kinds[static_cast<int>(call)] + name);
#ifndef _WIN32
        if (calls.size() - 1 == killAt)
            ::raise(SIGKILL);
#endif
        if (calls.back() == raceOn)
            testing::writeBytes(path, raced);
        const bool failing = calls.size() - 1 == failAt || calls.back() == failOn;
#ifdef __linux__
        // A flush fails in the system itself, so that its result is what the save goes by.
        if (failing && (call == DurableCall::FlushFile || call == DurableCall::FlushFolder)) {
            failNextFlush = true;
            return false;
        }
#endif
        return failing;
    }

    // The names in a folder other than `kept`: temporaries left behind.
    Calls leftIn(const std::string& folder, const Calls& kept) const {
        Calls left;
        for (const FolderEntry& entry : listFolder(dir.file(folder)))
            if (std::find(kept.begin(), kept.end(), entry.name) == kept.end())
                left.push_back(entry.name);
        return left;
    }

    Status save(bool withBackup) {
        return writeFile(file, newFile, {.backup = withBackup ? backup : "", .backupLimit = 100});
    }

    testing::TempDir dir;
    std::string root = dir.path().string();
    std::string file = dir.file("new/file"), backup = dir.file("old/backup");
    Bytes oldBackup{1}, oldFile{2, 2}, newFile{3, 3, 3}, raced{4};
    Calls calls, flushed;
    std::size_t failAt = SIZE_MAX, killAt = SIZE_MAX;
    std::string failOn, raceOn;
};

// Windows has a rename write its folder's entries through, and no folder to flush.
Calls onThisHost(Calls calls) {
#ifdef _WIN32
    std::erase_if(calls, [](const std::string& call) { return call.starts_with("flush folder"); });
#endif
    return calls;
}

const Calls kSaveCalls =
    onThisHost({"flush file new/temporary", "flush file old/temporary", "rename to old/backup",
                "flush folder old", "rename to new/file", "flush folder new"});
const Calls kAtomicCalls =
    onThisHost({"flush file new/temporary", "rename to new/file", "flush folder new"});
// A file with a second name: its backup's copy and the repair copy beside it are made before the
// backup is replaced, and the repair copy is kept while the file is written in place.
const Calls kInPlaceCalls =
    onThisHost({"flush file old/temporary", "flush file new/temporary",
                "rename to new/.quillfen~file.undo", "flush folder new", "rename to old/backup",
                "flush folder old", "write in place", "set length in place", "flush file in place",
                "remove new/.quillfen~file.undo", "flush folder new"});

// The files and folders that `calls` flush; a file written in place is new/file.
[[maybe_unused]] Calls flushesIn(const Calls& calls) {
    Calls flushes;
    for (const std::string& call : calls)
        if (call == "flush file in place")
            flushes.push_back("new/file");
        else if (call.starts_with("flush "))
            flushes.push_back(call.substr(call.find(' ', 6) + 1));
    return flushes;
}

// Each call in turn fails, or (where a process can be killed) the program is killed just
// before it; when none fails, the calls are made in their order.
TEST_F(DurableCalls, ASaveThatFailsOrIsKilledAtAnyCallLeavesCompleteFiles) {
#ifdef _WIN32
    const bool kills[] = {false};
#else
    const bool kills[] = {false, true};
#endif
    for (bool kill : kills) {
        for (const Calls* expected : {&kSaveCalls, &kAtomicCalls, &kInPlaceCalls}) {
            for (std::size_t at = 0; at < expected->size() + !kill; ++at) {
                SCOPED_TRACE(at == expected->size()
                                 ? "none failed"
                                 : (kill ? "killed before " : "failed: ") + (*expected)[at]);
                std::filesystem::remove(dir.file("new/second name"));
                testing::writeBytes(file, oldFile);
                testing::writeBytes(backup, oldBackup);
                if (expected == &kInPlaceCalls)
                    std::filesystem::create_hard_link(file, dir.file("new/second name"));
                calls.clear();
                flushed.clear();
                if (kill) {
#ifndef _WIN32
                    pid_t child = ::fork();
                    if (child == 0) {
                        killAt = at;
                        (void)save(expected != &kAtomicCalls);
                        ::_exit(0);
                    }
                    int status = 0;
                    ::waitpid(child, &status, 0);
                    ASSERT_TRUE(WIFSIGNALED(status));
#endif
                } else {
                    failAt = at;
                    EXPECT_EQ(save(expected != &kAtomicCalls).ok(), at == expected->size());
                    failAt = SIZE_MAX;
                    if (at == expected->size()) {
                        EXPECT_EQ(calls, *expected);
#ifdef __linux__
                        EXPECT_EQ(flushedNames(), flushesIn(*expected));
#endif
                    }
                }
                // A name holds its new bytes once its rename was made, or the copy of a file
                // written in place removed, and its old ones before; a write in place that is
                // not undone at once is undone when the file is next opened.
                auto made = [&](const std::string& call) {
                    auto end = expected->begin() + static_cast<std::ptrdiff_t>(at);
                    return std::find(expected->begin(), end, call) != end;
                };
                bool written = made(expected == &kInPlaceCalls ? "remove new/.quillfen~file.undo"
                                                               : "rename to new/file");
                auto opened = readWholeFile(file, 100, OpenFor::RepairingRead);
                if (!opened) {
                    EXPECT_EQ(opened.error(), restoredFile(file));
                    opened = readWholeFile(file, 100, OpenFor::RepairingRead);
                }
                EXPECT_EQ(*opened, written ? newFile : oldFile);
                EXPECT_EQ(testing::readBytes(backup),
                          made("rename to old/backup") ? oldFile : oldBackup);
                // What a killed save left is removed by the next.
                if (kill) {
                    ASSERT_TRUE(save(true));
                }
                EXPECT_EQ(leftIn("new", {"file", "second name"}), Calls{});
                EXPECT_EQ(leftIn("old", {"backup"}), Calls{});
                if (expected == &kInPlaceCalls) {
                    EXPECT_EQ(testing::readBytes(dir.file("new/second name")),
                              testing::readBytes(file));
                }
            }
        }
    }
}

// A write in place of a file with two names stopped before its repair copy went, then what came
// after: the copy puts the file back only while the file is as that write could have left it.
// Any other copy is set aside, never removed; a plain read writes nothing and leaves the copy.
TEST_F(DurableCalls, ARepairCopyPutsBackOnlyWhatItsOwnStoppedWriteLeft) {
    const std::string undo = dir.file("new/.quillfen~file.undo"), second = dir.file("new/second");
    const std::string elsewhere = dir.file("old/elsewhere");
    struct Case {
        const char* after;
        std::function<void()> then;
        bool honoured;
    };
    const Case cases[] = {
        {"nothing", [] {}, true},
        {"another program wrote the file",
         [&] {
             testing::writeBytes(file, Bytes{9, 9, 9});
         },
         false},
        {"another program put a file of the same bytes in its place",
         [&] {
             testing::writeBytes(elsewhere, newFile);
             std::filesystem::rename(elsewhere, file);
         },
         false},
        {"the copy lost its last byte",
         [&] { std::filesystem::resize_file(undo, std::filesystem::file_size(undo) - 1); }, false},
        {"the copy is not this program's",
         [&] {
             testing::writeBytes(undo, Bytes{'j', 'u', 'n', 'k'});
         },
         false},
    };
    int setAside = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.after);
        std::filesystem::remove(second);
        testing::writeBytes(file, oldFile);
        std::filesystem::create_hard_link(file, second);
        failOn = "remove new/.quillfen~file.undo";
        ASSERT_FALSE(save(false));
        failOn.clear();
        c.then();
        const Bytes left = testing::readBytes(file), copy = testing::readBytes(undo);
        EXPECT_EQ(*readWholeFile(file, 100), left);
        EXPECT_EQ(testing::readBytes(undo), copy);

        auto repaired = readWholeFile(file, 100, OpenFor::RepairingRead);
        ASSERT_FALSE(repaired);
        EXPECT_FALSE(std::filesystem::exists(undo));
        if (c.honoured) {
            EXPECT_EQ(repaired.error(), restoredFile(file));
            EXPECT_EQ(testing::readBytes(file), oldFile);
        } else {
            const std::string aside = undo + ".set-aside-" + std::to_string(++setAside);
            EXPECT_NE(repaired.error().find(fileNameOf(aside)), std::string::npos)
                << repaired.error();
            EXPECT_EQ(testing::readBytes(file), left);
            EXPECT_EQ(testing::readBytes(aside), copy);
        }
        EXPECT_TRUE(readWholeFile(file, 100, OpenFor::RepairingRead));
    }
    // A save sets a strange copy aside as a load does, and writes nothing.
    testing::writeBytes(undo, Bytes{'j', 'u', 'n', 'k'});
    const Bytes kept = testing::readBytes(file);
    auto refused = save(false);
    EXPECT_NE(refused.error().find(".quillfen~file.undo.set-aside-" + std::to_string(++setAside)),
              std::string::npos)
        << refused.error();
    EXPECT_EQ(testing::readBytes(file), kept);
    EXPECT_TRUE(save(false));
    EXPECT_EQ(testing::readBytes(second), newFile);
}

// A new file is renamed into its place only where nothing is, whatever appeared there since it
// was looked at.
TEST_F(DurableCalls, ANewFileNeverReplacesOneThatAppearedMeanwhile) {
    const std::string fresh = dir.file("new/fresh");
    raceOn = "rename to new/fresh";
    EXPECT_EQ(writeFile(fresh, newFile, {.mustBeNew = true}).error(), kAlreadyThere);
    EXPECT_EQ(testing::readBytes(fresh), raced);
    EXPECT_EQ(leftIn("new", {"fresh"}), Calls{});
}

} // namespace
} // namespace quillfen
