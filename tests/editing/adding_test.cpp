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

// One group whose one set holds levels up to `nodes` nodes in all.
ProfileSpec profileOf(int nodes) {
    SetSpec set{"BIG", std::vector<LevelSpec>(static_cast<std::size_t>(nodes - 2), {"L", "l.lvl"})};
    return {{"G", "F", {set}}};
}

using AddGroup = EditingTest;

TEST_F(AddGroup, AddsTheGroupLastThenAsksForItsFolderAndCancelKeepsItWithTheEmptyFolder) {
    load(kProfile);
    select("parent3");
    WatchingUserInterface watching(state);
    watching.inputs.push_back({"NEWF", true});
    addGroup(state, watching, kNewGroupName);
    model.addGroup("NEWF");
    EXPECT_EQ(state.tree.topLevel().back()->key(), "root4");
    EXPECT_EQ(watching.nodesWhileAsked, 15);
    ASSERT_EQ(watching.questions.size(), 1u);
    EXPECT_EQ(watching.questions[0].text, kFolderPrompt);
    EXPECT_EQ(watching.questions[0].caption, "Quillfen Level Adder");
    EXPECT_TRUE(watching.messages.empty());
    addGroup(state, ui, kNewGroupName); // no answer scripted: Cancel
    model.addGroup("");
    ui.inputs.push_back({"?", false});
    addGroup(state, ui, kNewGroupName);
    model.addGroup("", false);
    expectModel();
    EXPECT_EQ(ui.messages,
              std::vector<std::string>{"WARNING: the text holds characters that cannot be stored"});
    expectSaveAndLoadAgree();
}

using AddSet = EditingTest;

TEST_F(AddSet, AddsANewSetLastInTheSelectedGroupWithAFreshKey) {
    load(kProfile);
    addSetTo("root1");
    addSetTo("root1");
    expectModel();
    const LevelTree::Node* group = state.tree.find("root1");
    EXPECT_EQ(group->child(2)->key(), "parent5");
    EXPECT_EQ(group->child(3)->key(), "parent6");
    EXPECT_EQ(group->child(3)->text(), "CUSTOM SET");
    EXPECT_EQ(state.tree.selected(), group);
    expectSaveAndLoadAgree();
}

TEST_F(AddSet, RefusesWithoutAProfileOrASelectedGroupAndWorksOnANewGroupOfAnEmptyTree) {
    addSet(state, ui, kNewSetName);
    model.addSet();
    ui.inputs.push_back({"CUST", true});
    addGroup(state, ui, kNewGroupName);
    model.addGroup("CUST");
    addSetTo("");
    addSetTo("root1");
    expectModel();
    EXPECT_EQ(ui.messages,
              (std::vector<std::string>{"you have to load up a profile first",
                                        "you must first select a group to add a set to"}));
    expectSaveAndLoadAgree();
}

TEST_F(AddSet, RefusesThe256thSetOfAGroupAndAnythingInAFullProfile) {
    load({{"FULL", "F", std::vector<SetSpec>(255, SetSpec{"S", {}})}, {"NEXT", "N", {}}});
    addSetTo("root1");
    addSetTo("root2");
    expectModel();
    EXPECT_EQ(ui.messages,
              std::vector<std::string>{"WARNING: a group cannot hold more than 255 sets"});
    EXPECT_EQ(state.tree.find("root2")->firstChild()->key(), "parent256");

    load(profileOf(format::kMaxNodes));
    addSetTo("root1");
    addGroup(state, ui, kNewGroupName);
    model.addGroup("");
    expectModel();
    EXPECT_EQ(ui.messages.size(), 3u);
    EXPECT_EQ(ui.messages[1], kTreeFull);
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
    // The same file twice gives two levels.
    addLevelTo("parent4", "a1.lvl", titles);
    addLevelTo("parent4", "a1.lvl", titles);
    expectModel();
    EXPECT_EQ(ui.messages[0], "3 level(s) added to 'HARD'");
    const LevelTree::Node* set = state.tree.find("parent2");
    EXPECT_EQ(set->child(1)->key(), "level8");
    EXPECT_EQ(set->child(1)->text(), paddedTitle("Tunnel Vision"));
    EXPECT_EQ(state.tree.selected(), state.tree.find("parent4"));
    expectSaveAndLoadAgree();
}

TEST_F(AddSelectedLevels, SkipsFilesThatCannotBeReadOrAreNoWindowsLevelsAndNamesThem) {
    load(kProfile);
    std::filesystem::create_directory(levelfile::levelFilePath(levels, "dir.lvl"));
    // Another engine's level: a format number in byte 0.
    std::vector<unsigned char> engine(levelfile::kLevelFileSize, 0);
    engine[0] = 1;
    writeBytes(levelfile::levelFilePath(levels, "other.lvl"), engine);
    FileTitles titles = {{"gone.lvl", std::nullopt},
                         {"good.lvl", levelFile("good.lvl", "Good", {120, 0, 0, 0, 0, 0, 0, 0, 0})},
                         {"dir.lvl", std::nullopt},
                         {"other.lvl", std::nullopt},
                         {"caf\xE9.lvl", levelFile("caf\xE9.lvl", "Caf\xE9")}};
    const std::vector<std::string> names = {"caf\xE9.lvl", "dir.lvl", "gone.lvl", "good.lvl",
                                            "other.lvl"};
    select("parent1");
    addSelectedLevels(state, ui, fileList(names, names, "good.lvl"));
    model.addLevels(names, "good.lvl", titles);
    // Another engine's file is named apart from those that cannot be read; a level the game
    // would not expect is added with a warning.
    model.messages.back() = "2 level(s) added to 'EASY'\nWARNING: could not read dir.lvl, "
                            "gone.lvl\nWARNING: not Windows Lemmings level files: other.lvl\n"
                            "WARNING: good.lvl: 120 lemmings, more than the game's 114";
    expectModel();
    EXPECT_EQ(state.levelCount, 9); // keys are issued only for the levels added
}

TEST_F(AddSelectedLevels, AddsWhatFitsIntoTheProfileAndSaysHowManyDidNot) {
    load(profileOf(format::kMaxNodes - 2));
    FileTitles titles;
    std::vector<std::string> names = {"1.lvl", "2.lvl", "3.lvl", "4.lvl"};
    for (const std::string& name : names)
        titles[name] = levelFile(name, name);
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

} // namespace
} // namespace quillfen::testing
