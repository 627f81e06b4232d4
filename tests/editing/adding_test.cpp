#include "editing/editing_fixture.h"

namespace quillfen::testing {
namespace {

const char kFolderPrompt[] = "enter the folder name in which levels in this group can be found "
                             "(e.g. ORIG, OHNO, CUST, etc..)";

// Answers the folder question and notes how many nodes the tree held while it was asked.
class WatchingUserInterface : public ScriptedUserInterface {
public:
    explicit WatchingUserInterface(const EditorState& state) : state_(state) {}
    int nodesWhileAsked = -1;
    TextAnswer input(const std::string& prompt, const std::string& title,
                     const std::string& proposed) override {
        nodesWhileAsked = state_.tree.count();
        return ScriptedUserInterface::input(prompt, title, proposed);
    }

private:
    const EditorState& state_;
};

using AddGroup = EditingTest;

TEST_F(AddGroup, AddsTheGroupLastThenAsksForItsFolder) {
    load(kProfile);
    select("parent3");
    WatchingUserInterface watching(state);
    watching.inputs.push_back({"NEWF", true});
    addGroup(state, watching);
    model.addGroup("NEWF");
    expectModel();
    EXPECT_EQ(state.tree.topLevel().back()->key(), "root4");
    EXPECT_EQ(watching.nodesWhileAsked, 15);
    ASSERT_EQ(watching.questions.size(), 1u);
    EXPECT_EQ(watching.questions[0].text, kFolderPrompt);
    EXPECT_EQ(watching.questions[0].caption, "Quillfen Level Adder");
    EXPECT_TRUE(watching.messages.empty());
    expectSaveAndLoadAgree();
}

TEST_F(AddGroup, CancelOrAnUnstorableFolderKeepsTheGroupWithTheEmptyFolder) {
    load(kProfile);
    addGroup(state, ui); // no answer scripted: Cancel
    model.addGroup("");
    ui.inputs.push_back({"?", false});
    addGroup(state, ui);
    model.addGroup("", false);
    expectModel();
    EXPECT_EQ(ui.messages,
              std::vector<std::string>{"WARNING: the text holds characters that cannot be stored"});
}

TEST_F(AddGroup, WorksOnAnEmptyTreeAndLetsASetBeAdded) {
    ui.inputs.push_back({"CUST", true});
    addGroup(state, ui);
    model.addGroup("CUST");
    select("root1");
    addSet(state, ui);
    model.addSet();
    expectModel();
    expectSaveAndLoadAgree();
}

using AddSet = EditingTest;

TEST_F(AddSet, AddsANewSetLastInTheSelectedGroupWithAFreshKey) {
    load(kProfile);
    select("root1");
    addSet(state, ui);
    model.addSet();
    addSet(state, ui);
    model.addSet();
    expectModel();
    const LevelTree::Node* group = state.tree.find("root1");
    EXPECT_EQ(group->child(2)->key(), "parent5");
    EXPECT_EQ(group->child(3)->key(), "parent6");
    EXPECT_EQ(group->child(3)->text(), "CUSTOM SET");
    EXPECT_EQ(state.tree.selected(), group);
    expectSaveAndLoadAgree();
}

TEST_F(AddSet, RefusesWithoutAProfileAndWithoutASelectedGroup) {
    addSet(state, ui);
    model.addSet();
    load(kProfile);
    for (const char* key : {"parent1", "level2", ""}) {
        select(key);
        addSet(state, ui);
        model.addSet();
    }
    expectModel();
    EXPECT_EQ(ui.messages,
              (std::vector<std::string>{"you have to load up a profile first",
                                        "you must first select a group to add a set to",
                                        "you must first select a group to add a set to",
                                        "you must first select a group to add a set to"}));
}

TEST_F(AddSet, RefusesThe256thSetOfAGroup) {
    ProfileSpec full = {{"FULL", "F", std::vector<SetSpec>(255, SetSpec{"S", {}})},
                        {"NEXT", "N", {}}};
    load(full);
    select("root1");
    addSet(state, ui);
    model.addSet();
    select("root2");
    addSet(state, ui);
    model.addSet();
    expectModel();
    EXPECT_EQ(ui.messages,
              std::vector<std::string>{"WARNING: a group cannot hold more than 255 sets"});
    EXPECT_EQ(state.tree.find("root2")->firstChild()->key(), "parent256");
}

// One group whose one set holds levels up to `nodes` nodes in all.
ProfileSpec profileOf(int nodes) {
    SetSpec set{"BIG", std::vector<LevelSpec>(static_cast<std::size_t>(nodes - 2), {"L", "l.lvl"})};
    return {{"G", "F", {set}}};
}

TEST_F(AddSet, NothingIsAddedToAFullProfile) {
    load(profileOf(format::kMaxNodes));
    select("root1");
    addSet(state, ui);
    model.addSet();
    addGroup(state, ui);
    model.addGroup("");
    expectModel();
    EXPECT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0], kTreeFull);
    EXPECT_TRUE(ui.questions.empty()); // no folder is asked for a group that cannot be added
}

using AddSelectedLevels = EditingTest;

TEST_F(AddSelectedLevels, AddsTheSelectedFilesInListOrderNamedByTheirTitles) {
    load(kProfile);
    FileTitles titles = {{"a1.lvl", levelFile("a1.lvl", "Tunnel Vision")},
                         {"b2.lvl", levelFile("b2.lvl", "Mind the Gap")},
                         {"c3.lvl", levelFile("c3.lvl", "")},
                         {"d4.lvl", levelFile("d4.lvl", "Unchosen")}};
    select("parent2");
    // The current entry need not be among the selected ones.
    addSelectedLevels(state, ui,
                      fileList({"a1.lvl", "b2.lvl", "c3.lvl", "d4.lvl"},
                               {"c3.lvl", "a1.lvl", "b2.lvl"}, "d4.lvl"));
    model.addLevels({"a1.lvl", "b2.lvl", "c3.lvl"}, "d4.lvl", titles);
    expectModel();
    EXPECT_EQ(ui.messages, std::vector<std::string>{"3 level(s) added to 'HARD'"});
    const LevelTree::Node* set = state.tree.find("parent2");
    EXPECT_EQ(set->child(1)->key(), "level8");
    EXPECT_EQ(set->child(1)->text(), paddedTitle("Tunnel Vision"));
    EXPECT_EQ(state.tree.selected(), set);
    expectSaveAndLoadAgree();
}

TEST_F(AddSelectedLevels, TheSameFileTwiceGivesTwoLevels) {
    load(kProfile);
    FileTitles titles = {{"a.lvl", levelFile("a.lvl", "Again")}};
    select("parent4");
    for (int i = 0; i < 2; ++i) {
        addSelectedLevels(state, ui, fileList({"a.lvl"}, {"a.lvl"}, "a.lvl"));
        model.addLevels({"a.lvl"}, "a.lvl", titles);
    }
    expectModel();
}

TEST_F(AddSelectedLevels, SkipsFilesThatCannotBeReadAndNamesThem) {
    load(kProfile);
    std::filesystem::create_directory(levelfile::levelFilePath(levels, "dir.lvl"));
    FileTitles titles = {{"gone.lvl", std::nullopt},
                         {"good.lvl", levelFile("good.lvl", "Good")},
                         {"dir.lvl", std::nullopt},
                         {"caf\xE9.lvl", levelFile("caf\xE9.lvl", "Caf\xE9")}};
    select("parent1");
    addSelectedLevels(state, ui,
                      fileList({"caf\xE9.lvl", "dir.lvl", "gone.lvl", "good.lvl"},
                               {"caf\xE9.lvl", "dir.lvl", "gone.lvl", "good.lvl"}, "good.lvl"));
    model.addLevels({"caf\xE9.lvl", "dir.lvl", "gone.lvl", "good.lvl"}, "good.lvl", titles);
    expectModel();
    EXPECT_EQ(ui.messages, std::vector<std::string>{"2 level(s) added to 'EASY'\nWARNING: could "
                                                    "not read dir.lvl, gone.lvl"});
    EXPECT_EQ(state.levelCount, 9); // keys are issued only for the levels added
}

TEST_F(AddSelectedLevels, RefusesWithoutASetOrACurrentEntry) {
    levelFile("a.lvl", "A");
    addSelectedLevels(state, ui, fileList({"a.lvl"}, {"a.lvl"}, "a.lvl"));
    model.addLevels({"a.lvl"}, "a.lvl", {});
    load(kProfile);
    for (const char* key : {"root1", "level1", ""}) {
        select(key);
        addSelectedLevels(state, ui, fileList({"a.lvl"}, {"a.lvl"}, "a.lvl"));
        model.addLevels({"a.lvl"}, "a.lvl", {});
    }
    select("parent1");
    addSelectedLevels(state, ui, fileList({"a.lvl"}, {"a.lvl"}, ""));
    addSelectedLevels(state, ui, fileList({}, {}, ""));
    model.addLevels({}, "", {});
    model.addLevels({}, "", {});
    // Nothing selected at all: none added, and said so.
    addSelectedLevels(state, ui, fileList({"a.lvl"}, {}, "a.lvl"));
    model.addLevels({}, "a.lvl", {});
    expectModel();
    EXPECT_EQ(ui.messages.back(), "0 level(s) added to 'EASY'");
    EXPECT_EQ(ui.messages[4], "you must first select the level you wish to add from above");
}

TEST_F(AddSelectedLevels, AddsWhatFitsIntoTheProfileAndSaysHowManyDidNot) {
    load(profileOf(format::kMaxNodes - 2));
    FileTitles titles;
    std::vector<std::string> names;
    for (const char* name : {"1.lvl", "2.lvl", "3.lvl", "4.lvl"}) {
        titles[name] = levelFile(name, name);
        names.push_back(name);
    }
    select("parent1");
    addSelectedLevels(state, ui, fileList(names, names, "1.lvl"));
    model.addLevels(names, "1.lvl", titles);
    addSelectedLevels(state, ui, fileList(names, {"4.lvl"}, "1.lvl"));
    model.addLevels({"4.lvl"}, "1.lvl", titles);
    expectModel();
    EXPECT_EQ(state.tree.count(), format::kMaxNodes);
    EXPECT_EQ(ui.messages[0], "2 level(s) added to 'BIG'\nWARNING: the profile cannot hold more "
                              "than 3649 groups, sets and levels; 2 level(s) could not be added");
    expectSaveAndLoadAgree();
}

TEST_F(AddSelectedLevels, EntriesFollowTheirNodesAfterASetWasAddedToAnEarlierGroup) {
    load(kProfile);
    FileTitles titles = {{"n.lvl", levelFile("n.lvl", "New")}};
    addSetTo("root1");
    addLevelTo("parent5", "n.lvl", titles);
    // The new set and level hold the highest indexes although they stand in the first group.
    deleteNode("level2");
    deleteNode("root1");
    expectModel();
    expectSaveAndLoadAgree();
}

} // namespace
} // namespace quillfen::testing
