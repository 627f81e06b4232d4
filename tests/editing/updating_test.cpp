#include "editing/editing_fixture.h"

namespace quillfen::testing {
namespace {

using UpdateCommands = EditingTest;

TEST_F(UpdateCommands, AStoredFolderIsShownAgainAndSaved) {
    load(kProfile);
    select("root2");
    DetailPanel panel;
    TreeView1_Click(state, levels, panel);
    EXPECT_EQ(panel.text1, "QFEN");
    updateFolder(state, ui, {"CUST", true});
    model.update("CUST", true, true);
    expectModel();
    EXPECT_EQ(ui.messages, std::vector<std::string>{"Group's source folder has been updated"});
    select("level1");
    TreeView1_Click(state, levels, panel);
    select("root2");
    TreeView1_Click(state, levels, panel);
    EXPECT_EQ(panel.text1, "CUST");
    expectSaveAndLoadAgree();
}

TEST_F(UpdateCommands, AStoredFileNameShowsTheCountsOfTheNewFile) {
    load(kProfile);
    levelFile("other.lvl", "Other", {99, 9, 9, 9, 9, 9, 9, 9, 1});
    select("level5");
    updateFileName(state, ui, {"other.lvl", true});
    model.update("other.lvl", true, false);
    expectModel();
    EXPECT_EQ(ui.messages, std::vector<std::string>{"Levels source file has been updated"});
    DetailPanel panel;
    TreeView1_Click(state, levels, panel);
    EXPECT_EQ(panel.text2, "other.lvl");
    EXPECT_EQ(panel.counts[0], "99");
    EXPECT_EQ(panel.counts[8], "1");
    expectSaveAndLoadAgree();
}

TEST_F(UpdateCommands, TheEmptyTextIsStoredAndANodeOfTheOtherKindSavesNothing) {
    load(kProfile);
    select("root1");
    updateFolder(state, ui, {"", true});
    model.update("", true, true);
    // Right after a click on a level, Text1 is empty: stored at the level, never saved.
    select("level1");
    updateFolder(state, ui, {"", true});
    model.update("", true, true);
    select("parent1");
    updateFileName(state, ui, {"x.lvl", true});
    model.update("x.lvl", true, false);
    expectModel();
    expectSaveAndLoadAgree();
}

TEST_F(UpdateCommands, ALongFolderStaysWholeUntilTheSaveCutsItToItsField) {
    load(kProfile);
    std::string folder(80, 'F');
    select("root1");
    updateFolder(state, ui, {folder, true});
    DetailPanel panel;
    TreeView1_Click(state, levels, panel);
    EXPECT_EQ(panel.text1, folder);
    auto saved = encodeDatabase(state.tree);
    std::size_t field = format::recordOffset(0) + format::kFolderOffset;
    EXPECT_EQ(
        std::string(saved.begin() + static_cast<std::ptrdiff_t>(field),
                    saved.begin() + static_cast<std::ptrdiff_t>(field + format::kFolderWidth)),
        std::string(format::kFolderWidth, 'F'));
}

TEST_F(UpdateCommands, NothingIsStoredWithoutASelectionOrForAnUnstorableText) {
    updateFolder(state, ui, {"X", true});
    model.update("X", true, true);
    load(kProfile);
    select("");
    updateFolder(state, ui, {"X", true});
    model.update("X", true, true);
    updateFileName(state, ui, {"X", true});
    model.update("X", true, false);
    select("root1");
    updateFolder(state, ui, {"?", false});
    model.update("?", false, true);
    select("level1");
    updateFileName(state, ui, {"?", false});
    model.update("?", false, false);
    expectModel();
    EXPECT_EQ(ui.messages, (std::vector<std::string>{
                               "you must first select a group", "you must first select a group",
                               "you must first select a level",
                               "WARNING: the text holds characters that cannot be stored",
                               "WARNING: the text holds characters that cannot be stored"}));
}

using RenameNode = EditingTest;

TEST_F(RenameNode, RenamesWithinTheRecordFieldAndTheSaveWritesIt) {
    load(kProfile);
    const std::vector<std::pair<std::string, std::string>> names = {
        {"root1", std::string(40, 'G')},  {"parent1", std::string(108, 'S')},
        {"level1", std::string(40, 'L')}, {"level2", ""},
        {"parent2", "Caf\xE9 \x80"},
    };
    for (const auto& [key, text] : names) {
        EXPECT_TRUE(renameNode(state, ui, state.tree.find(key), {text, true}));
        model.rename(key, text, true);
    }
    expectModel();
    EXPECT_TRUE(ui.messages.empty());
    expectSaveAndLoadAgree();
}

TEST_F(RenameNode, RefusesANameLongerThanItsFieldOrUnstorable) {
    load(kProfile);
    const std::vector<std::tuple<std::string, std::string, bool>> names = {
        {"root1", std::string(41, 'G'), true},
        {"parent1", std::string(109, 'S'), true},
        {"level1", std::string(41, 'L'), true},
        {"level1", "?", false},
    };
    for (const auto& [key, text, storable] : names) {
        EXPECT_FALSE(renameNode(state, ui, state.tree.find(key), {text, storable}));
        model.rename(key, text, storable);
    }
    EXPECT_FALSE(renameNode(state, ui, nullptr, {"X", true}));
    expectModel();
    EXPECT_EQ(ui.messages, (std::vector<std::string>{
                               "WARNING: the name can be at most 40 characters long",
                               "WARNING: the name can be at most 108 characters long",
                               "WARNING: the name can be at most 40 characters long",
                               "WARNING: the text holds characters that cannot be stored"}));
}

} // namespace
} // namespace quillfen::testing
