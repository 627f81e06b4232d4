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
