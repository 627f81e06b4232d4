// What the detail panel shows: a group's folder, a level's file name and the counts read from
// the level's own file in its group's folder of the game, or a clicked file of the folder list;
// and Save Level Info, which writes them back only into the file they were read from.
#include "editor/editor_fixture.h"

namespace quillfen::testing {
namespace {

using Boxes = std::array<std::string, levelfile::kCountsCount>;

class TreeClick : public EditorTest {
protected:
    // The panel as a window shows it: what the last outcome that carried one said.
    DetailPanel panel;
    // The game's install, with a folder for each group of kProfile but BARE.
    std::string game = dir.file("game");

    void SetUp() override {
        EditorTest::SetUp();
        std::filesystem::create_directories(game + "/LEVEL/EASY");
        std::filesystem::create_directories(game + "/LEVEL/HARD");
        editor.giveGameFolder(game);
        writeBytes(inGame("EASY", "a.lvl"), makeLevelFile({80, 2, 0, 0, 4, 10, 0, 0, 10}, "A"));
    }

    std::string inGame(const std::string& folder, const std::string& name) const {
        return game + "/LEVEL/" + folder + "/" + name;
    }
    void show(const std::optional<DetailPanel>& shown) { panel = shown.value_or(panel); }
    void click(const std::string& key) { show(select(key).panel); }
};

// After a level's counts, a level whose file is missing (b.lvl) or a folder (c.lvl) shows its
// file name, empty boxes and why, as a set and nothing show empty boxes; a short file shows the
// counts it holds.
TEST_F(TreeClick, ALevelShowsItsFileAndCountsAGroupItsFolderAndTheRestEmptyBoxes) {
    std::filesystem::create_directory(inGame("EASY", "c.lvl"));
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
        EXPECT_EQ(panel.missing, "");
        click(key);
        EXPECT_EQ(panel.counts, Boxes{}) << key;
        EXPECT_EQ(panel.levelFile, file) << key;
        EXPECT_EQ(panel.groupFolder, folder) << key;
        EXPECT_EQ(panel.missing.empty(), file.empty()) << key;
        EXPECT_TRUE(panel.missing.ends_with(file)) << panel.missing;
    }
    auto bytes = makeLevelFile({7, 6, 5, 4, 3, 2, 1, 0, 9}, "");
    bytes.resize(14); // offsets 3, 9, 11 and 13
    writeBytes(inGame("HARD", "d.lvl"), bytes);
    click("level4");
    EXPECT_EQ(panel.counts, (Boxes{"7", "6", "5", "4", "", "", "", "", ""}));
    EXPECT_EQ(panel.countsFile, inGame("HARD", "d.lvl"));
}

// A tree level's counts are those of its own file in its group's folder, whatever the folder
// list shows, also a file of the same name; a file clicked in the list shows that file alone.
// The counts shown go only into the file they were read from, not into one the file name box
// names since nor from a group's empty boxes; an "update" of the level's file name and its undo
// read them afresh.
TEST_F(TreeClick, SaveLevelInfoWritesOnlyIntoTheFileThePanelShows) {
    levelFile("a.lvl", "Other A", {20, 1, 1, 1, 1, 1, 1, 1, 1});
    writeBytes(inGame("EASY", "b.lvl"), makeLevelFile({30, 1, 1, 1, 1, 1, 1, 1, 1}, "B"));
    const std::string listed = levelfile::levelFilePath(levels, "a.lvl");
    const Boxes typed = {"9", "9", "9", "9", "9", "9", "9", "9", "9"};
    auto notReadFrom = [](const std::string& name) {
        return "WARNING: the counts shown were not read from " + name + "; nothing was written";
    };
    click("level1");
    TempDir other;
    show(editor.openFolder(other.path().string()).panel);
    LevelFolder opened = editor.openFolder(levels);
    EXPECT_EQ(opened.countText, "1 level found");
    show(opened.panel);
    EXPECT_EQ(panel.counts[0], "80");
    editor.saveLevelInfo({"b.lvl", true}, typed);
    show(editor.updateFileName({"b.lvl", true}).panel);
    EXPECT_EQ(panel.counts[0], "30");
    show(editor.undo().panel);
    EXPECT_EQ(panel.counts[0], "80");
    editor.saveLevelInfo({"a.lvl", true}, typed);
    EXPECT_EQ(readBytes(inGame("EASY", "a.lvl"))[3], 9);
    EXPECT_EQ(readBytes(listed)[3], 20);

    show(editor.clickFile("a.lvl").panel);
    EXPECT_EQ(panel.counts[0], "20");
    EXPECT_EQ(panel.groupFolder, "");
    EXPECT_EQ(panel.levelPath, listed);
    editor.saveLevelInfo({"a.lvl", true}, {"7", "7", "7", "7", "7", "7", "7", "7", "7"});
    EXPECT_EQ(readBytes(listed)[3], 7);
    EXPECT_EQ(readBytes(inGame("EASY", "a.lvl"))[3], 9);
    click("root1");
    editor.saveLevelInfo({"a.lvl", true}, typed);
    expectSaid({notReadFrom("b.lvl"), "Levels source file has been updated",
                levelfile::kLevelInfoSaved, levelfile::kLevelInfoSaved,
                levelfile::kLevelFileNotFound});
}

// Leaving a level (for a node or a file of the list) whose boxes differ from what its file holds
// asks first: Cancel keeps it selected with the typing, Save writes the boxes as Save Level Info
// does, Discard drops them; boxes that match the file, or the same level clicked again, ask
// nothing.
TEST_F(TreeClick, LeavingALevelWithTypedCountsAsksToSaveThem) {
    // A host name that no code page holds, named whole in the question.
    const std::string z = levels + "/z中.lvl";
    writeBytes(z, makeLevelFile({20, 1, 1, 1, 1, 1, 1, 1, 1}, "Z"));
    Boxes typed = {"9", "2", "0", "0", "4", "10", "0", "0", "10"};
    click("level1");
    show(editor.clickNode(editor.tree().find("level1"), typed).panel);
    Outcome kept = editor.clickNode(editor.tree().find("root1"), typed);
    EXPECT_FALSE(kept.done);
    EXPECT_EQ(kept.selected, editor.tree().find("level1"));
    EXPECT_EQ(selectedKey(), "level1");
    EXPECT_FALSE(kept.panel);
    EXPECT_FALSE(editor.clickFile("z中.lvl", typed).done);
    user.saveChoices = {SaveChoice::Save};
    show(editor.clickFile("z中.lvl", typed).panel);
    EXPECT_EQ(readBytes(inGame("EASY", "a.lvl"))[3], 9);
    EXPECT_EQ(panel.counts[0], "20");
    user.saveChoices = {SaveChoice::Discard};
    show(editor.clickNode(editor.tree().find("level1"), Boxes{"5", "", "", "", "", "", "", "", ""})
             .panel);
    EXPECT_EQ(readBytes(z)[3], 20);
    EXPECT_EQ(panel.counts[0], "9");
    show(editor.clickNode(editor.tree().find("root1"), panel.counts).panel);
    expectSaid({levelfile::kLevelInfoSaved});
    std::vector<std::string> asked;
    for (const auto& question : user.questions)
        asked.push_back(question.text);
    const std::string a = "Save the counts typed for 'a.lvl'?";
    EXPECT_EQ(asked, (std::vector<std::string>{a, a, a, "Save the counts typed for 'z中.lvl'?"}));
}

// A level whose file a level node of another set names too is noted with that set, as the profile
// check finds it, both ways; a level named twice in its own set, and a file of the folder list,
// are not.
TEST_F(TreeClick, ALevelWhoseFileAnotherSetNamesTooIsNotedWithThatSet) {
    load({{"EASY PACK",
           "EASY",
           {{"FIRST", {{"A", "a.lvl"}, {"B", "b.lvl"}, {"B2", "b.lvl"}}},
            {"D\xC9UX", {{"A2", "a.lvl"}}}}}}); // DÉUX, as the profile keeps it
    const std::array<std::string, 2> shown[] = {{"level1", "also in set 'DÉUX'"},
                                                {"level4", "also in set 'FIRST'"},
                                                {"level2", ""}, // the other is in its own set
                                                {"level3", ""}};
    for (const auto& [key, note] : shown) {
        click(key);
        EXPECT_EQ(panel.alsoIn, note) << key;
    }
    levelFile("a.lvl", "Listed");
    show(editor.clickFile("a.lvl").panel);
    EXPECT_EQ(panel.alsoIn, "");
    // The heading names a file of the folder list by its own title.
    EXPECT_TRUE(panelHeading(panel).starts_with("Listed: ")) << panelHeading(panel);
}

} // namespace
} // namespace quillfen::testing
