// The flushes and renames on which a save's durability rests, watched and failed through the
// host layer's observer: each is made in its place, and whichever fails, every name still holds
// a complete file and no temporary is left.
#include "host/durable_calls.h"
#include "host/file_io.h"
#include "host/file_save.h"
#include "temp_dir.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

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
        if (auto temporary = name.find("/.quillfen-"); temporary != std::string::npos)
            name = name.substr(0, temporary) + "/temporary";
        const char* kinds[] = {"flush file ", "flush folder ", "rename to "};
        calls.push_back(kinds[static_cast<int>(call)] + name);
        return calls.size() - 1 == failAt;
    }

    // The names in a folder other than its lock and `kept`: temporaries left behind.
    Calls leftIn(const std::string& folder, const std::string& kept) const {
        Calls left;
        for (const FolderEntry& entry : listFolder(dir.file(folder)))
            if (entry.name != kFolderLockName && entry.name != kept)
                left.push_back(entry.name);
        return left;
    }

    testing::TempDir dir;
    std::string root = dir.path().string();
    std::string file = dir.file("new/file"), backup = dir.file("old/backup");
    Bytes oldBackup{1}, oldFile{2, 2}, newFile{3, 3, 3};
    Calls calls;
    std::size_t failAt = SIZE_MAX;
};

// Windows has a rename write its folder's entries through, and no folder to flush.
#ifdef _WIN32
const Calls kSaveCalls = {"flush file new/temporary", "flush file old/temporary",
                          "rename to old/backup", "rename to new/file"};
const Calls kAtomicCalls = {"flush file new/temporary", "rename to new/file"};
#else
const Calls kSaveCalls = {"flush file new/temporary", "flush file old/temporary",
                          "rename to old/backup",     "flush folder old",
                          "rename to new/file",       "flush folder new"};
const Calls kAtomicCalls = {"flush file new/temporary", "rename to new/file", "flush folder new"};
#endif

TEST_F(DurableCalls, ASaveFlushesBothFilesBeforeItsRenamesAndTheFoldersAfterThem) {
    testing::writeBytes(file, oldFile);
    ASSERT_TRUE(saveWithBackup(file, backup, newFile, 100));
    EXPECT_EQ(calls, kSaveCalls);

    calls.clear();
    ASSERT_TRUE(writeFileAtomically(file, oldFile));
    EXPECT_EQ(calls, kAtomicCalls);

#ifndef _WIN32
    // A file with a second name is written in place, once its backup is on the disk.
    std::filesystem::create_hard_link(file, dir.file("new/second name"));
    calls.clear();
    ASSERT_TRUE(saveWithBackup(file, backup, newFile, 100));
    EXPECT_EQ(calls, (Calls{"flush file old/temporary", "rename to old/backup", "flush folder old",
                            "flush file in place"}));
    EXPECT_EQ(testing::readBytes(dir.file("new/second name")), newFile);
#endif
}

TEST_F(DurableCalls, ASaveWhoseFlushOrRenameFailsLeavesCompleteFilesAndNoTemporary) {
    for (bool withBackup : {true, false}) {
        const Calls& expected = withBackup ? kSaveCalls : kAtomicCalls;
        for (failAt = 0; failAt < expected.size(); ++failAt) {
            SCOPED_TRACE(expected[failAt]);
            testing::writeBytes(file, oldFile);
            testing::writeBytes(backup, oldBackup);
            calls.clear();
            EXPECT_FALSE(withBackup ? saveWithBackup(file, backup, newFile, 100)
                                    : writeFileAtomically(file, newFile));
            // A name holds its new bytes once its rename was made, and its old ones before.
            auto made = [&](const std::string& rename) {
                auto end = expected.begin() + static_cast<std::ptrdiff_t>(failAt);
                return std::find(expected.begin(), end, rename) != end;
            };
            EXPECT_EQ(testing::readBytes(file), made("rename to new/file") ? newFile : oldFile);
            EXPECT_EQ(testing::readBytes(backup),
                      made("rename to old/backup") ? oldFile : oldBackup);
            EXPECT_EQ(leftIn("new", "file"), Calls{});
            EXPECT_EQ(leftIn("old", "backup"), Calls{});
        }
    }
}

} // namespace
} // namespace quillfen
