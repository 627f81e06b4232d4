#include "editing/editing_fixture.h"

namespace quillfen::testing {
namespace {

using UpdateCommands = EditingTest;

TEST_F(UpdateCommands, AStoredFolderAndFileNameAreShownAgainAndSaved) {
    load(kProfile);
    levelFile("other.lvl", "Other", {99, 9, 9, 9, 9, 9, 9, 9, 1});
    select("root2");
    updateFolder(state, ui, {"CUST", true});
    model.update("CUST", true, true);
    select("level5");
    updateFileName(state, ui, {"other.lvl", true});
    model.update("other.lvl", true, false);
    expectModel();
    EXPECT_EQ(ui.messages, (std::vector<std::string>{"Group's source folder has been updated",
                                                     "Levels source file has been updated"}));
    DetailPanel panel = detailPanelFor(state, levels);
    EXPECT_EQ(panel.levelFile, "other.lvl");
    EXPECT_EQ(panel.counts.value()[0], "99");
    EXPECT_EQ(panel.counts.value()[8], "1");
    select("root2");
    EXPECT_EQ(detailPanelFor(state, levels).groupFolder, "CUST");
    expectSaveAndLoadAgree();
}

TEST_F(UpdateCommands, AFolderOrFileNameLongerThanItsFieldIsRefusedNotCutAtTheSave) {
    load(kProfile);
    for (const auto& [key, length, folder] :
         std::vector<std::tuple<const char*, std::size_t, bool>>{{"root1", 68, true},
                                                                 {"root1", 73, true},
                                                                 {"level1", 38, false},
                                                                 {"level1", 44, false}}) {
        select(key);
        std::string text(length, folder ? 'F' : 'L');
        (void)(folder ? updateFolder(state, ui, {text, true})
                      : updateFileName(state, ui, {text, true}));
        model.update(text, true, folder);
    }
    expectModel();
    EXPECT_EQ(ui.messages[1], "WARNING: the folder can be at most 68 characters long");
    EXPECT_EQ(ui.messages[3], "WARNING: the file name can be at most 38 characters long");
    expectSaveAndLoadAgree();
}

TEST_F(UpdateCommands, NothingIsStoredWithoutASelectionOrForAnUnstorableText) {
    updateFolder(state, ui, {"X", true});
    model.update("X", true, true);
    load(kProfile);
    for (const auto& [key, text, storable, folder] :
         std::vector<std::tuple<const char*, const char*, bool, bool>>{
             {"", "X", true, true},
             {"", "X", true, false},
             {"root1", "?", false, true},
             {"level1", "?", false, false}}) {
        select(key);
        (void)(folder ? updateFolder(state, ui, {text, storable})
                      : updateFileName(state, ui, {text, storable}));
        model.update(text, storable, folder);
    }
    expectModel();
    EXPECT_EQ(ui.messages, (std::vector<std::string>{
                               "you must first select a group", "you must first select a group",
                               "you must first select a level",
                               "WARNING: the text holds characters that cannot be stored",
                               "WARNING: the text holds characters that cannot be stored"}));
}

using RenameNode = EditingTest;

TEST_F(RenameNode, RenamesWithinTheRecordFieldAndRefusesALongerOrUnstorableName) {
    load(kProfile);
    const std::vector<std::tuple<std::string, std::string, bool>> names = {
        {"root1", std::string(40, 'G'), true},     {"parent1", std::string(108, 'S'), true},
        {"level1", std::string(40, 'L'), true},    {"level2", "", true},
        {"parent2", "Caf\xE9 \x80", true},         {"root1", std::string(41, 'G'), false},
        {"parent1", std::string(109, 'S'), false}, {"level1", std::string(41, 'L'), false}};
    for (const auto& [key, text, fits] : names) {
        EXPECT_EQ(renameNode(state, ui, state.tree.find(key), {text, true}) != nullptr, fits)
            << key;
        model.rename(key, text, true);
    }
    EXPECT_FALSE(renameNode(state, ui, state.tree.find("level1"), {"?", false}));
    model.rename("level1", "?", false);
    EXPECT_FALSE(renameNode(state, ui, nullptr, {"X", true}));
    expectModel();
    EXPECT_EQ(ui.messages, (std::vector<std::string>{
                               "WARNING: the name can be at most 40 characters long",
                               "WARNING: the name can be at most 108 characters long",
                               "WARNING: the name can be at most 40 characters long",
                               "WARNING: the text holds characters that cannot be stored"}));
    expectSaveAndLoadAgree();
}

} // namespace
} // namespace quillfen::testing
