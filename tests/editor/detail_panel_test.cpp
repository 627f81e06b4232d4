// What a click in the tree shows in the detail panel: a group's folder, a level's file name and
// the counts read from that file in the folder list's folder.
#include "editor/editor_fixture.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quillfen::testing {
namespace {

using Boxes = std::array<std::string, levelfile::kCountsCount>;

// The boxes of the detail panel, as a window fills them from what a click gives.
struct Panel {
    std::string groupFolder, levelFile;
    Boxes counts;

    void show(const DetailPanel& shown) {
        groupFolder = shown.groupFolder.value_or(groupFolder);
        levelFile = shown.levelFile.value_or(levelFile);
        counts = shown.counts.value_or(counts);
    }
};

class TreeClick : public EditorTest {
protected:
    Panel panel;

    void SetUp() override {
        EditorTest::SetUp();
        levelFile("a.lvl", "A", {80, 2, 0, 0, 4, 10, 0, 0, 10});
    }

    void click(const std::string& key) { panel.show(select(key).panel); }
};

TEST_F(TreeClick, ALevelShowsItsFileAndCountsAGroupItsFolderASetNothingWhileTheCountsStay) {
    panel.groupFolder = "left over";
    click("level1");
    EXPECT_EQ(panel.groupFolder, "");
    EXPECT_EQ(panel.levelFile, "a.lvl");
    EXPECT_EQ(panel.counts, (Boxes{"80", "2", "0", "0", "4", "10", "0", "0", "10"}));
    // A second click reads the file again over what was typed.
    panel.counts[0] = "12";
    click("level1");
    EXPECT_EQ(panel.counts[0], "80");
    click("root2");
    EXPECT_EQ(panel.groupFolder, "HARD");
    EXPECT_EQ(panel.levelFile, "");
    EXPECT_EQ(panel.counts[0], "80");
    click("parent1");
    EXPECT_EQ(panel.groupFolder, "");
    EXPECT_EQ(panel.levelFile, "");
    EXPECT_EQ(panel.counts[5], "10");
    click("root2");
    click("");
    EXPECT_EQ(panel.groupFolder, "");
    EXPECT_EQ(panel.counts[5], "10");
}

TEST_F(TreeClick, ALevelWhoseFileIsNotThereOrNotReadableShowsNoCountsAndAShortOneSome) {
    std::filesystem::create_directory(levelfile::levelFilePath(levels, "c.lvl"));
    for (const char* key : {"level2", "level3"}) { // b.lvl is missing, c.lvl is a folder
        click("level1");
        click(key);
        EXPECT_EQ(panel.counts, Boxes{});
        EXPECT_FALSE(panel.levelFile.empty());
    }
    // A FIFO is no level file: the click shows no counts at once rather than wait for a writer
    // (in a child, so that a wait fails the test instead of hanging it).
    ASSERT_EQ(::mkfifo(levelfile::levelFilePath(levels, "b.lvl").c_str(), 0644), 0);
    pid_t child = ::fork();
    if (child == 0) {
        ::alarm(10);
        click("level1");
        click("level2");
        ::_exit(panel.counts == Boxes{} ? 0 : 1);
    }
    int status = -1;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    // Another folder in the folder list: the counts come from there, not the group's folder.
    editor.openFolder(dir.path().string());
    click("level1");
    EXPECT_EQ(panel.counts, Boxes{});
    editor.openFolder(levels);
    auto bytes = makeLevelFile({7, 6, 5, 4, 3, 2, 1, 0, 9}, "");
    bytes.resize(14); // offsets 3, 9, 11 and 13
    writeBytes(levelfile::levelFilePath(levels, "d.lvl"), bytes);
    click("level4");
    EXPECT_EQ(panel.counts, (Boxes{"7", "6", "5", "4", "", "", "", "", ""}));
    // A file name stored by Update File Name is the one read; an empty one names no file.
    (void)editor.updateFileName({"a.lvl", true});
    click("level4");
    EXPECT_EQ(panel.counts[0], "80");
    (void)editor.updateFileName({"", true});
    click("level4");
    EXPECT_EQ(panel.counts, Boxes{});
}

} // namespace
} // namespace quillfen::testing
