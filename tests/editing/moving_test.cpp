#include "editing/editing_fixture.h"

namespace quillfen::testing {
namespace {

class MoveCommands : public EditingTest {
protected:
    void SetUp() override {
        EditingTest::SetUp();
        load(kProfile);
    }

    void move(const std::string& key, bool up) {
        select(key);
        up ? moveUp(state, ui) : moveDown(state, ui);
        model.move(up);
    }

    // The titles of the levels of the first set (A B C D as loaded).
    std::string firstSet() const {
        std::string out;
        const LevelTree::Node* set = state.tree.find("parent1");
        for (int i = 0; i < set->children(); ++i)
            out += set->child(i)->text();
        return out;
    }
};

TEST_F(MoveCommands, UpAndDownSwapALevelWithItsNeighbour) {
    move("level3", true);
    EXPECT_EQ(firstSet(), "ACBD");
    EXPECT_EQ(state.tree.selected()->key(), "level3");
    move("level3", false);
    EXPECT_EQ(firstSet(), "ABCD");
    move("level3", false);
    EXPECT_EQ(firstSet(), "ABDC");
    expectModel();
    EXPECT_TRUE(ui.messages.empty());
    // The moved level took the highest node index, and every entry is with its node.
    EXPECT_EQ(state.tree.item(14)->key(), "level3");
    EXPECT_EQ(state.levelFiles(14), "c.lvl");
    expectSaveAndLoadAgree();
}

TEST_F(MoveCommands, TheSecondLevelCanBecomeTheFirst) {
    move("level2", true);
    EXPECT_EQ(firstSet(), "BACD");
    EXPECT_EQ(state.tree.selected()->key(), "level2");
    move("level2", true);
    expectModel();
    EXPECT_EQ(ui.messages, std::vector<std::string>{"cannot go any higher"});
    expectSaveAndLoadAgree();
}

TEST_F(MoveCommands, NoLevelLeavesItsSetAndOnlyALevelMoves) {
    move("level1", true);
    move("level4", false);
    move("level5", true); // the only level of its set
    move("level5", false);
    move("level6", true);  // first of the second group's set
    move("level7", false); // its last
    for (const char* key : {"root1", "parent1", ""})
        move(key, false);
    expectModel();
    std::vector<std::string> refusals;
    for (int i = 0; i < 3; ++i)
        refusals.insert(refusals.end(), {"cannot go any higher", "cannot go lower"});
    refusals.resize(9, "you must first select a level");
    EXPECT_EQ(ui.messages, refusals);
    EXPECT_EQ(firstSet(), "ABCD");
    state.tree.clear();
    moveUp(state, ui);
    EXPECT_EQ(ui.messages.back(), "you have to load up a profile first");
}

TEST_F(MoveCommands, ALevelAddedAfterTheLoadKeepsItsFileName) {
    FileTitles titles = {{"n.lvl", levelFile("n.lvl", "New")}};
    addLevelTo("parent3", "n.lvl", titles);
    move("level8", true);
    move("level8", true);
    move("level8", false);
    expectModel();
    EXPECT_EQ(state.tree.item(state.tree.count())->key(), "level8");
    expectSaveAndLoadAgree();
}

} // namespace
} // namespace quillfen::testing
