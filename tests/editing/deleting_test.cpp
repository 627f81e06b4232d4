#include "editing/editing_fixture.h"

namespace quillfen::testing {
namespace {

using DeleteCommands = EditingTest;

TEST_F(DeleteCommands, DeletingAGroupAsksAboutItsSetsAndTakesEverythingUnderIt) {
    load(kProfile);
    select("root1");
    deleteGroup(state, ui);
    model.deleteNode("root", true);
    expectModel();
    ASSERT_EQ(ui.questions.size(), 1u);
    EXPECT_EQ(ui.questions[0].text,
              "Are you sure you want to delete 'CUSTOM LEVELS' and the 2 sets under it?");
    EXPECT_EQ(ui.questions[0].caption, "confirm");
    // Eight nodes went; the next group moved down from index 9 to 1 with its folder.
    EXPECT_EQ(state.tree.item(1)->key(), "root2");
    EXPECT_EQ(state.groupFolders(1), "QFEN");
    EXPECT_EQ(state.levelFiles(4), "g.lvl");
    EXPECT_EQ(state.tree.selected()->key(), "root2");
    EXPECT_TRUE(ui.messages.empty());
    expectSaveAndLoadAgree();
}

TEST_F(DeleteCommands, ASetAsksAboutItsLevelsALevelNeitherAsksNorTellsAndNoChangesNothing) {
    load(kProfile);
    ui.confirmations = {false, false, true, true};
    select("root2");
    deleteGroup(state, ui);
    model.deleteNode("root", false);
    select("parent1");
    deleteSet(state, ui);
    model.deleteNode("parent", false);
    EXPECT_EQ(state.tree.count(), 14);
    deleteNode("parent2");
    deleteNode("parent4");
    deleteNode("level2");
    expectModel();
    EXPECT_EQ(ui.questions.size(), 4u);
    EXPECT_EQ(ui.questions[2].text,
              "Are you sure you want to delete 'HARD' and the 1 levels under it?");
    EXPECT_EQ(ui.questions[3].text,
              "Are you sure you want to delete 'EMPTY' and the 0 levels under it?");
    EXPECT_TRUE(ui.messages.empty());
    expectSaveAndLoadAgree();
}

TEST_F(DeleteCommands, SelectsTheNodeThatTookThePlaceElseThePreviousElseTheParent) {
    load(kProfile);
    const std::vector<std::pair<const char*, const char*>> steps = {
        {"level2", "level3"},  // the next level took its place
        {"level4", "level3"},  // the last level: the one before it
        {"level5", "parent2"}, // the only level: its set
        {"root3", "root2"},
    };
    for (const auto& [deleted, after] : steps) {
        deleteNode(deleted);
        EXPECT_EQ(state.tree.selected()->key(), after);
    }
    // Deleting every group empties the tree and leaves nothing selected.
    for (const char* key : {"root2", "root1"})
        deleteNode(key);
    EXPECT_EQ(state.tree.selected(), nullptr);
    deleteGroup(state, ui);
    model.deleteNode("root", true);
    expectModel();
    EXPECT_EQ(ui.messages, std::vector<std::string>{"you have to load up a profile first"});
}

TEST_F(DeleteCommands, NewNodesAtTheHighestIndexesKeepEveryEntryWithItsNodeAndKeysAreNotReused) {
    load(kProfile);
    FileTitles titles = {{"n.lvl", levelFile("n.lvl", "New")}};
    deleteNode("parent4");
    addSetTo("root2");
    EXPECT_EQ(state.tree.find("root2")->child(1)->key(), "parent5");
    addLevelTo("parent5", "n.lvl", titles);
    addSetTo("root1");
    addLevelTo("parent6", "n.lvl", titles);
    deleteNode("root2");
    // The new set and level hold the highest indexes although they stand in the first group.
    deleteNode("level2");
    expectModel();
    expectSaveAndLoadAgree();
    deleteNode("root1");
    expectModel();
    expectSaveAndLoadAgree();
}

} // namespace
} // namespace quillfen::testing
