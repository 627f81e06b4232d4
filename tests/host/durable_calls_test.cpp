// The flushes and renames on which a save's durability rests, watched and failed through the
// host layer's observer: each is made in its place, and whichever fails, every name still holds
// a complete file and no temporary is left.
#include "host/durable_calls.h"
#include "host/file_io.h"
#include "host/file_write.h"
#include "temp_dir.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#ifndef _WIN32
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace quillfen {
namespace {

using Bytes = std::vector<unsigned char>;
using Calls = std::vector<std::string>;

// The file in folder "new" and its backup in folder "old", so that each flush names its folder.
class DurableCalls : public ::testing::Test, public DurableCallObserver {
protected:
    DurableCalls() {
        std::filesystem::create_directory(dir.path() / "new");
        std::filesystem::create_directory(dir.path() / "old");
        observeDurableCalls(this);
    }
    ~DurableCalls() override { observeDurableCalls(nullptr); }

    // Records the call as "flush file new/temporary", "rename to old/backup"...; fails the one
    // at `failAt`.
    bool fails(DurableCall call, const std::string& path) override {
        std::string name = path.empty() ? "in place" : path.substr(root.size() + 1);
        std::replace(name.begin(), name.end(), '\\', '/');
        if (auto temporary = name.find("/.quillfen~"); name.ends_with(".tmp"))
            name = name.substr(0, temporary) + "/temporary";
        const char* kinds[] = {"flush file ", "flush folder ", "rename to ",
                               "write ",      "set length ",   "remove "};
        calls.push_back(kinds[static_cast<int>(call)] + name);
#ifndef _WIN32
        if (calls.size() - 1 == killAt)
            ::raise(SIGKILL);
#endif
        return calls.size() - 1 == failAt;
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
    Bytes oldBackup{1}, oldFile{2, 2}, newFile{3, 3, 3};
    Calls calls;
    std::size_t failAt = SIZE_MAX, killAt = SIZE_MAX;
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
// A file with a second name: its backup, then a copy beside it while it is written in place.
const Calls kInPlaceCalls =
    onThisHost({"flush file old/temporary", "rename to old/backup", "flush folder old",
                "flush file new/temporary", "rename to new/.quillfen~file.undo", "flush folder new",
                "write in place", "set length in place", "flush file in place",
                "remove new/.quillfen~file.undo", "flush folder new"});

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
                auto opened = readWholeFile(file, 100);
                if (!opened) {
                    EXPECT_EQ(opened.error(), restoredFile(file));
                    opened = readWholeFile(file, 100);
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

} // namespace
} // namespace quillfen
