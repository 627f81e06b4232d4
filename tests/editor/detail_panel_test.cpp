// What the detail panel shows: a group's folder, a level's file name and the counts read from
// that file in the folder list's folder; and Save Level Info, which writes them back only there.
#include "editor/editor_fixture.h"

namespace quillfen::testing {
namespace {

using Boxes = std::array<std::string, levelfile::kCountsCount>;

class TreeClick : public EditorTest {
protected:
    // The panel as a window shows it: what the last outcome that carried one said.
    DetailPanel panel;

    void SetUp() override {
        EditorTest::SetUp();
        levelFile("a.lvl", "A", {80, 2, 0, 0, 4, 10, 0, 0, 10});
    }

    void show(const std::optional<DetailPanel>& shown) { panel = shown.value_or(panel); }
    void click(const std::string& key) { show(select(key).panel); }
};

// After a level's counts, a level whose file is missing (b.lvl) or a folder (c.lvl) shows its
// file name and empty boxes, as a set and nothing do; a short file shows the counts it holds.
TEST_F(TreeClick, ALevelShowsItsFileAndCountsAGroupItsFolderAndTheRestEmptyBoxes) {
    std::filesystem::create_directory(levelfile::levelFilePath(levels, "c.lvl"));
    // The node clicked, and the file name and folder it shows.
    const std::array<std::string, 3> shown[] = {{"level2", "b.lvl", ""},
                                                {"level3", "c.lvl", ""},
                                                {"parent1", "", ""},
                                                {"", "", ""},
                                                {"root2", "", "HARD"}};
    for (const auto& [key, file, folder] : shown) {
        click("level1");
        EXPECT_EQ(panel.levelFile, "a.lvl");
        EXPECT_EQ(panel.counts, (Boxes{"80", "2", "0", "0", "4", "10", "0", "0", "10"}));
        click(key);
        EXPECT_EQ(panel.counts, Boxes{}) << key;
        EXPECT_EQ(panel.levelFile, file) << key;
        EXPECT_EQ(panel.groupFolder, folder) << key;
    }
    auto bytes = makeLevelFile({7, 6, 5, 4, 3, 2, 1, 0, 9}, "");
    bytes.resize(14); // offsets 3, 9, 11 and 13
    writeBytes(levelfile::levelFilePath(levels, "d.lvl"), bytes);
    click("level4");
    EXPECT_EQ(panel.counts, (Boxes{"7", "6", "5", "4", "", "", "", "", ""}));
}

// The counts shown go only into the file they were read from, not into one the file name box
// names since nor from a group's empty boxes; an "update" of the level's file name, its undo, a
// move of the folder list and a load read them afresh.
TEST_F(TreeClick, SaveLevelInfoWritesOnlyIntoTheFileTheCountsWereReadFrom) {
    levelFile("b.lvl", "B", {20, 1, 1, 1, 1, 1, 1, 1, 1});
    const std::string b = levelfile::levelFilePath(levels, "b.lvl");
    const std::vector<unsigned char> bBytes = readBytes(b);
    const Boxes typed = {"9", "9", "9", "9", "9", "9", "9", "9", "9"};
    auto notReadFrom = [](const std::string& name) {
        return "WARNING: the counts shown were not read from " + name + "; nothing was written";
    };
    click("level1");
    editor.saveLevelInfo({"b.lvl", true}, typed);
    show(editor.updateFileName({"b.lvl", true}).panel);
    EXPECT_EQ(panel.counts[0], "20");
    show(editor.undo().panel);
    EXPECT_EQ(panel.counts[0], "80");
    click("root1");
    editor.saveLevelInfo({"a.lvl", true}, typed);
    click("level1");
    TempDir other;
    show(editor.openFolder(other.path().string()).panel);
    EXPECT_EQ(panel.counts, Boxes{});
    editor.saveLevelInfo({"a.lvl", true}, typed);
    show(editor.openFolder(levels).panel);
    editor.saveLevelInfo({"a.lvl", true}, typed);
    load(kProfile);
    editor.saveLevelInfo({"a.lvl", true}, typed);
    expectSaid({notReadFrom("b.lvl"), "Levels source file has been updated", notReadFrom("a.lvl"),
                levelfile::kLevelFileNotFound, levelfile::kLevelInfoSaved, notReadFrom("a.lvl")});
    EXPECT_EQ(readBytes(levelfile::levelFilePath(levels, "a.lvl"))[3], 9);
    EXPECT_EQ(readBytes(b), bBytes);
}

} // namespace
} // namespace quillfen::testing
