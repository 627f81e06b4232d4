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

TEST_F(DeleteCommands, DeletingASetAsksAboutItsLevels) {
    load(kProfile);
    select("parent2");
    deleteSet(state, ui);
    model.deleteNode("parent", true);
    select("parent4");
    deleteSet(state, ui);
    model.deleteNode("parent", true);
    expectModel();
    EXPECT_EQ(ui.questions[0].text,
              "Are you sure you want to delete 'HARD' and the 1 levels under it?");
    EXPECT_EQ(ui.questions[1].text,
              "Are you sure you want to delete 'EMPTY' and the 0 levels under it?");
    expectSaveAndLoadAgree();
}

TEST_F(DeleteCommands, AnsweringNoChangesNothing) {
    load(kProfile);
    ui.confirmations = {false, false};
    select("root2");
    deleteGroup(state, ui);
    model.deleteNode("root", false);
    select("parent1");
    deleteSet(state, ui);
    model.deleteNode("parent", false);
    expectModel();
    EXPECT_EQ(state.tree.count(), 14);
}

TEST_F(DeleteCommands, DeletingALevelNeitherAsksNorTells) {
    load(kProfile);
    select("level2");
    deleteLevel(state, ui);
    model.deleteNode("level", true);
    expectModel();
    EXPECT_TRUE(ui.questions.empty());
    EXPECT_TRUE(ui.messages.empty());
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
    expectModel();
}

TEST_F(DeleteCommands, DeletingEveryGroupEmptiesTheTreeAndLeavesNothingSelected) {
    load(kProfile);
    for (const char* key : {"root2", "root1", "root3"})
        deleteNode(key);
    EXPECT_EQ(state.tree.selected(), nullptr);
    deleteGroup(state, ui);
    model.deleteNode("root", true);
    expectModel();
    EXPECT_EQ(ui.messages, std::vector<std::string>{"you have to load up a profile first"});
}

TEST_F(DeleteCommands, EachRefusesTheWrongKindAndNoSelection) {
    load(kProfile);
    for (const char* key : {"parent1", "level1", ""}) {
        select(key);
        deleteGroup(state, ui);
        model.deleteNode("root", true);
    }
    for (const char* key : {"root1", "level1", ""}) {
        select(key);
        deleteSet(state, ui);
        model.deleteNode("parent", true);
    }
    for (const char* key : {"root1", "parent1", ""}) {
        select(key);
        deleteLevel(state, ui);
        model.deleteNode("level", true);
    }
    expectModel();
    EXPECT_EQ(ui.messages[0], "you must first select a group to delete from the tree");
    EXPECT_EQ(ui.messages[3], "you must first select a set to delete from the tree");
    EXPECT_EQ(ui.messages[6], "you must first select a level to delete from the tree");
    EXPECT_TRUE(ui.questions.empty());
}

TEST_F(DeleteCommands, AKeyOfADeletedNodeIsNotIssuedAgain) {
    load(kProfile);
    deleteNode("parent4");
    addSetTo("root2");
    expectModel();
    EXPECT_EQ(state.tree.find("root2")->child(1)->key(), "parent5");
}

TEST_F(DeleteCommands, AGroupWithNewNodesAtTheHighestIndexesLeavesTheOthersTheirEntries) {
    load(kProfile);
    FileTitles titles = {{"n.lvl", levelFile("n.lvl", "New")}};
    addSetTo("root2");
    addLevelTo("parent5", "n.lvl", titles);
    addSetTo("root1");
    deleteNode("root2");
    expectModel();
    expectSaveAndLoadAgree();
}

} // namespace
} // namespace quillfen::testing
