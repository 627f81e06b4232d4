// The Editor's editing actions on a loaded profile, one table row an action: what the user is
// told and asked, in order, the tree after it, and its undo and redo.
#include "editor/editor_fixture.h"
#include "editor/window_menus.h"
#include "levelfile/make_pack.h"

#include <set>

namespace quillfen::testing {
namespace {

// Add Group's question, asked before the group is made: the tree holds its 10 nodes.
const std::string kFolderQuestion =
    "? Quillfen Level Adder: enter the folder name in which levels in "
    "this group can be found (e.g. ORIG, OHNO, CUST, etc..) @10";
const std::string kSetNameQuestion =
    "? Quillfen Level Adder: enter the name of the new set for the pack's levels @10";
// A level file's name one character longer than its record holds.
const std::string kLongName = std::string(35, 'L') + ".lvl";
const std::string kLongNameRefused = "WARNING: the file name can be at most 38 characters long";

std::string withFirstSet(const std::string& levels) {
    return "root1(parent1(" + levels + ") parent2) root2(parent3(level4)) root3";
}
std::string withSecondSet(const std::string& levels) {
    return "root1(parent1(level1 level2 level3) parent2(" + levels +
           ")) root2(parent3(level4)) root3";
}

// The level-file list with every name selected, `current` last clicked.
FileListSelection listOf(const std::vector<std::string>& names, int current) {
    FileListSelection list{{}, std::vector<bool>(names.size(), true), current};
    for (const std::string& name : names)
        list.names.push_back({name, true});
    return list;
}

std::string packPath(const Editor& editor) {
    return editor.levelFolder() + "/../LEVEL007.DAT";
}

using Act = Outcome (*)(Editor&);
const Act kAddGroup = [](Editor& e) { return e.addGroup(); };
const Act kImportPack = [](Editor& e) { return e.importLevelPack(packPath(e), e.levelFolder()); };
const Act kImportIntoSet = [](Editor& e) {
    return e.importLevelPack(packPath(e), e.levelFolder(), false, ImportInto::SelectedSet);
};
Outcome dropped(Editor& e, const char* key, int row) {
    return e.dropLevel(e.tree().find(key), row);
}

// One action on the profile as loaded, with `selected` selected (empty: nothing), and the
// user's answers; what it said and asked, in order (a text ending in * stands for any that
// starts so); the name of its undo step (empty: it changed nothing); the tree after it (empty:
// as loaded) and its selection (empty: as before); what the nodes it changed hold.
struct Case {
    const char* name;
    std::string selected;
    Act action;
    std::vector<std::string> said = {};
    std::string undo = {}, after = {}, selectedAfter = {};
    std::vector<std::string> nodes = {};
    std::vector<TextAnswer> inputs = {};
    std::deque<bool> confirmations = {};
};
void PrintTo(const Case& c, std::ostream* out) {
    *out << c.name;
}

const std::vector<Case> kCases = {
    // clang-format off
    {"AddGroupAsksItsFolderThenStandsLast", "parent3", kAddGroup, {kFolderQuestion},
     "Add Group", kLoaded + " root4", "", {"root4@11 'CUSTOM LEVELS' [NEWF]"}, {{"NEWF", true}}},
    {"PropertiesTellAGroupsFolderAndALevelsFileAndPlace", "level2",
     [](Editor& e) {
         e.properties();
         e.clickNode(e.tree().find("root2"));
         e.properties();
         return Outcome{};
     },
     {"Level 'B'\nFile: b.lvl\nIn set 'FIRST' of group 'EASY PACK', level 2 of 3",
      "Group 'HARD'\nLevel folder: HARD\nGroup 2 of 3, with 1 set(s)"},
     "", "", "root2"},
    // An in-place edit closed as it was leaves nothing to undo.
    {"RenameToTheSameTextIsNoStep", "level1",
     [](Editor& e) {
         const LevelTree::Node* level = e.tree().find("level1");
         return e.rename(level, {std::string(level->text()), true});
     }},
    {"AddGroupRefusesANameLongerThanItsField", "root1",
     [](Editor& e) { return e.addGroup({std::string(41, 'G'), true}); },
     {"WARNING: the name can be at most 40 characters long"}},
    {"AddSetRefusesANameThatCannotBeStored", "root1",
     [](Editor& e) { return e.addSet({"?", false}); }, {kUnstorableText}},
    {"AddSelectedLevelsNamesTheFilesItLeftOutAndWarnsOfOddLevels", "parent2",
     [](Editor& e) {
         return e.addSelectedLevels(listOf(
             {"caf\xE9.lvl", "dir.lvl", "\xE9t\xE9.lvl", "good.lvl", "other.lvl"}, 3));
     },
     // The messages are UTF-8: a name of the profile's Windows-1252 is converted where it is put.
     {"2 level(s) added to 'EMPTY'\nWARNING: could not read dir.lvl, été.lvl\nWARNING: not "
      "Windows Lemmings level files: other.lvl\nWARNING: good.lvl: 120 lemmings, more than the "
      "game's 114"},
     "Add Level(s)", withSecondSet("level5 level6"), "",
     {"level5@11 'Caf\xE9' [caf\xE9.lvl]", "level6@12 'Good' [good.lvl]"}},
    {"AddSelectedLevelsAddsNoneWhenASelectedNameCannotBeStored", "parent2",
     [](Editor& e) { return e.addSelectedLevels({{{"a1.lvl"}, {"?.lvl", false}}, {true, true}, 0}); },
     {kUnstorableText}},
    {"AddSelectedLevelsLooksOnlyAtTheSelectedNames", "parent2",
     [](Editor& e) { return e.addSelectedLevels({{{"a1.lvl"}, {"?.lvl", false}}, {true, false}, 0}); },
     {"1 level(s) added to 'EMPTY'"}, "Add Level(s)", withSecondSet("level5")},
    // A name the record cannot hold is refused where it enters, never cut at the save.
    {"AddSelectedLevelsRefusesANameLongerThanTheRecordHolds", "parent2",
     [](Editor& e) { return e.addSelectedLevels(listOf({"a1.lvl", kLongName}, 0)); },
     {kLongNameRefused}},
    {"UpdateFileNameRefusesANameWindowsCannotOpen", "level1",
     [](Editor& e) { return e.updateFileName({"sub\\..\\x*.lvl", true}); },
     {"WARNING: the file name 'sub\\..\\x*.lvl' holds *"}},
    {"LevelFilesDroppedOnAGroupAreRefusedThere", "parent3",
     [](Editor& e) { return e.dropLevelFiles(e.tree().find("root1"), {e.levelFolder() + "/a1.lvl"}); },
     {"you must first select a set to add levels to"}, "", "", "root1"},
    {"DeletingTheLastGroupAsksAndSelectsTheOneBefore", "root3",
     [](Editor& e) { return e.deleteSelected(); },
     {"? Confirm Delete [Delete]: Are you sure you want to delete 'BARE' and the 0 sets under it?"},
     "Delete Group", "root1(parent1(level1 level2 level3) parent2) root2(parent3(level4))",
     "root2"},
    // A drop names the row before which the level lands, counted with the level still there; the
    // moved level is taken out and added again, so it takes the highest node index.
    {"ALevelDraggedDownLandsBeforeTheDropRow", "level3",
     [](Editor& e) { return dropped(e, "level1", 2); }, {}, "Move Level",
     withFirstSet("level2 level1 level3"), "", {"level1@10 'A' [a.lvl]"}},
    {"ALevelDroppedOnItsSetLandsLast", "level1", [](Editor& e) { return dropped(e, "level1", -1); },
     {}, "Move Level", withFirstSet("level2 level3 level1")},
    {"ALevelDroppedOnItsOwnRowStays", "level2", [](Editor& e) { return dropped(e, "level2", 1); }},
    {"OnlyALevelIsDragged", "level2", [](Editor& e) { return dropped(e, "parent1", 0); },
     {"you must first select a level"}},
    {"ImportLevelPackAddsANamedSetToTheSelectedGroup", "root2", kImportPack,
     {kSetNameQuestion, "? Import Level Pack [Import]: *", "2 level(s) added to 'MY PACK'"},
     "Import Level Pack",
     "root1(parent1(level1 level2 level3) parent2) root2(parent3(level4) parent4(level5 level6)) "
     "root3",
     "", {"parent4@11 'MY PACK' []", "level6@13 'Beta' [LEVEL007_01.LVL]"}, {{"MY PACK", true}}},
    {"ImportLevelPackCancelledAtTheReportAddsNothing", "root2", kImportPack,
     {kSetNameQuestion, "? Import Level Pack [Import]: *"}, "", "", "", {}, {{"MY PACK", true}}, {false}},
    {"ImportLevelPackCancelledAtTheNameAsksNoMore", "root2", kImportPack, {kSetNameQuestion}},
    {"ImportLevelPackNeedsAGroupBeforeItReadsThePack", "parent3",
     [](Editor& e) { return e.importLevelPack("/no/such/pack.dat", e.levelFolder()); },
     {"you must first select a group to add a set to"}},
    {"ImportIntoTheSelectedSetTellsTheReportAndAddsTheLevels", "parent2", kImportIntoSet,
     {"LEVEL007.DAT: 2 level(s) to import into *", "2 level(s) added to 'EMPTY'"},
     "Import Level Pack", withSecondSet("level5 level6"), "",
     {"level5@11 'Alpha' [LEVEL007_00.LVL]"}},
    {"ImportIntoTheSelectedSetNeedsASelectedSet", "root1", kImportIntoSet,
     {"you must first select a set to add levels to"}},
    // clang-format on
};

// Level files of every kind beside the profile, and a pack of two levels.
class EditorWithFiles : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        for (const char* name : {"a1.lvl", "b2.lvl", "c3.lvl", "d4.lvl"})
            levelFile(name, name);
        levelFile("caf\xE9.lvl", "Caf\xE9");
        levelFile("good.lvl", "     Good", {120, 0, 0, 0, 0, 0, 0, 0, 0});
        levelFile(kLongName, "Long");
        std::filesystem::create_directory(levelfile::levelFilePath(levels, "dir.lvl"));
        // Another engine's level: a format number in byte 0.
        std::vector<unsigned char> engine(levelfile::kLevelFileSize, 0);
        engine[0] = 1;
        writeBytes(levelfile::levelFilePath(levels, "other.lvl"), engine);
        writeBytes(dir.file("LEVEL007.DAT"),
                   makePack({packLevel(1, 40, "Alpha"), packLevel(2, 50, "Beta")}));
    }

    bool packWritten() const { return std::filesystem::exists(levels + "/LEVEL007_00.LVL"); }
};

class EditorEdit : public EditorWithFiles, public ::testing::WithParamInterface<Case> {};

// After an edit, undo gives back the tree of before (every node, index, text and entry, and
// the file it saves as) with its selection, and redo the tree of after; a refusal changes
// nothing. What remains saves and loads to the same bytes.
TEST_P(EditorEdit, SaysAndChangesWhatItShouldAndUndoesAndRedoes) {
    const Case& c = GetParam();
    select(c.selected);
    const std::string before = everything();
    user.inputs = {c.inputs.begin(), c.inputs.end()};
    user.confirmations = c.confirmations;
    Outcome outcome = c.action(editor);
    expectSaid(c.said);
    // An import writes the pack's level files only once it adds their levels.
    EXPECT_EQ(packWritten(), c.undo == "Import Level Pack");
    EXPECT_EQ(outline(), c.after.empty() ? kLoaded : c.after);
    EXPECT_EQ(selectedKey(), c.selectedAfter.empty() ? c.selected : c.selectedAfter);
    for (const std::string& node : c.nodes)
        EXPECT_EQ(describe(node.substr(0, node.find('@'))), node);
    expectPanelFollows(outcome);
    EXPECT_EQ(outcome.done, !c.undo.empty());
    if (c.undo.empty()) {
        EXPECT_FALSE(editor.modified());
        EXPECT_TRUE(!c.selectedAfter.empty() || everything() == before);
        return;
    }
    const std::string after = everything();
    DocumentState shown = editor.documentState();
    EXPECT_EQ(shown.undoText, "Undo " + c.undo);
    EXPECT_EQ(shown.caption, "USER.DAT* - Quillfen Level Adder");
    EXPECT_TRUE(shown.status.ends_with(" - modified"));
    expectPanelFollows(editor.undo());
    EXPECT_EQ(everything(), before);
    EXPECT_FALSE(editor.modified());
    EXPECT_EQ(editor.documentState().redoText, "Redo " + c.undo);
    expectPanelFollows(editor.redo());
    EXPECT_EQ(everything(), after);
    expectSaid({});
    expectSaveAndLoadAgree();
}

INSTANTIATE_TEST_SUITE_P(Actions, EditorEdit, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The limits of a profile, so that every saved file loads again: two nodes short of full, it
// takes two of four levels, copies only those into the group's folder and says so; full, it
// takes no group (and asks for no folder), no set and no pack, of which it writes nothing.
TEST_F(EditorWithFiles, AFullProfileTakesWhatFitsAndRefusesTheRest) {
    load({{"G", "F", {{"BIG", std::vector<LevelSpec>(format::kMaxNodes - 4, {"L", "l.lvl"})}}}});
    std::filesystem::create_directories(dir.file("game/LEVEL"));
    editor.giveGameFolder(dir.file("game"));
    select("parent1");
    (void)editor.addSelectedLevels(listOf({"a1.lvl", "b2.lvl", "c3.lvl", "d4.lvl"}, 0));
    (void)kImportIntoSet(editor);
    (void)editor.addGroup();
    select("root1");
    (void)editor.addSet();
    expectSaid(
        {"2 level(s) added to 'BIG'\nWARNING: the profile cannot hold more than 3649 groups, "
         "sets and levels; 2 level(s) could not be added",
         std::string(kTreeFull) + "; nothing was imported", kTreeFull, kTreeFull});
    EXPECT_FALSE(packWritten());
    auto copied = std::filesystem::directory_iterator(dir.file("game/LEVEL/F"));
    EXPECT_EQ(std::distance(copied, {}), 2);
    expectSaveAndLoadAgree();

    // A group's record counts its sets in one byte.
    load({{"FULL", "F", std::vector<SetSpec>(255, SetSpec{"S", {}})}});
    select("root1");
    (void)editor.addSet();
    (void)editor.importLevelPack(packPath(editor), levels);
    expectSaid({kGroupFull, kGroupFull});
}

// Added levels go where the game looks for them: each file is copied into its group's folder of
// the game's LEVEL folder (made when missing). A file there of the same bytes is used as it is;
// one of other bytes is never replaced, the level is offered a free name or Cancel. Undo takes
// back what the add copied (and the folder it made) and redo copies it again, as does a drop; an
// import's Replace is undone with the old file put back, and no copy of it beside. A close that
// discards the edits leaves the folders as they were.
TEST_F(EditorWithFiles, AddedLevelsAreCopiedIntoTheirGroupsFolderOfTheGame) {
    const std::string game = dir.file("game"), easy = game + "/LEVEL/EASY/";
    std::filesystem::create_directories(game + "/LEVEL");
    editor.giveGameFolder(game);
    auto bytesOf = [&](const std::string& name) { return readBytes(levels + "/" + name); };
    select("parent2");
    ASSERT_TRUE(editor.addSelectedLevels(listOf({"a1.lvl", "gone.lvl"}, 0)).done);
    EXPECT_EQ(readBytes(easy + "a1.lvl"), bytesOf("a1.lvl"));
    // Folder choosers open at the selected node's group's folder, while it is there.
    EXPECT_TRUE(std::filesystem::equivalent(editor.chooserFolder(), easy));
    select("parent3");
    EXPECT_EQ(editor.chooserFolder(), editor.levelFolder());
    select("parent2");
    (void)editor.undo();
    EXPECT_FALSE(std::filesystem::exists(easy));
    (void)editor.redo();
    EXPECT_EQ(readBytes(easy + "a1.lvl"), bytesOf("a1.lvl"));

    const std::vector<unsigned char> theirs = makeLevelFile({}, "Theirs");
    writeBytes(easy + "b2.lvl", theirs);
    writeBytes(easy + "c3.lvl", bytesOf("c3.lvl"));
    user.confirmations = {false, true};
    EXPECT_FALSE(editor.addSelectedLevels(listOf({"b2.lvl", "c3.lvl"}, 0)).done);
    ASSERT_TRUE(editor.addSelectedLevels(listOf({"b2.lvl", "c3.lvl"}, 0)).done);
    expectSaid({"1 level(s) added to 'EMPTY'\nWARNING: could not read gone.lvl",
                "? Quillfen Level Adder [Add as b2_2.lvl]: b2.lvl in *",
                "? Quillfen Level Adder [Add as b2_2.lvl]: b2.lvl in *",
                "2 level(s) added to 'EMPTY'\nb2.lvl was added as b2_2.lvl: b2.lvl in *"});
    EXPECT_EQ(describe("level6"), "level6@12 'b2.lvl' [b2_2.lvl]");
    EXPECT_EQ(readBytes(easy + "b2_2.lvl"), bytesOf("b2.lvl"));
    EXPECT_EQ(readBytes(easy + "b2.lvl"), theirs);
    (void)editor.undo();
    EXPECT_FALSE(std::filesystem::exists(easy + "b2_2.lvl"));
    EXPECT_TRUE(std::filesystem::exists(easy + "c3.lvl")); // not the add's own
    (void)editor.redo();

    // An import into a set writes into its group's folder, and its undo takes the files back.
    ASSERT_TRUE(kImportIntoSet(editor).done);
    EXPECT_TRUE(std::filesystem::exists(easy + "LEVEL007_00.LVL"));
    EXPECT_FALSE(packWritten());
    (void)editor.undo();
    EXPECT_FALSE(std::filesystem::exists(easy + "LEVEL007_00.LVL"));
    (void)editor.redo();

    // A drop adds as the button does, here into a folder it makes and another add fills.
    ASSERT_TRUE(editor.dropLevelFiles(editor.tree().find("parent3"), {levels + "/d4.lvl"}).done);
    EXPECT_TRUE(std::filesystem::exists(game + "/LEVEL/HARD/d4.lvl"));
    ASSERT_TRUE(editor.addSelectedLevels(listOf({"a1.lvl"}, 0)).done);
    const std::string replaced = game + "/LEVEL/BARE/LEVEL007_00.LVL";
    std::filesystem::create_directories(game + "/LEVEL/BARE");
    writeBytes(replaced, theirs);
    select("root3");
    user.inputs = {{"MY PACK", true}};
    user.confirmations = {true};
    ASSERT_TRUE(kImportPack(editor).done);
    EXPECT_EQ(readBytes(replaced + "_backup"), theirs);
    (void)editor.undo();
    EXPECT_EQ(readBytes(replaced), theirs);
    EXPECT_FALSE(std::filesystem::exists(replaced + "_backup"));
    (void)editor.redo();
    EXPECT_NE(readBytes(replaced), theirs);
    // Discarding the edits takes every copy back.
    user.saveChoices = {SaveChoice::Discard};
    EXPECT_TRUE(editor.mayClose());
    EXPECT_FALSE(std::filesystem::exists(game + "/LEVEL/HARD"));
    EXPECT_EQ(readBytes(replaced), theirs);
    EXPECT_FALSE(std::filesystem::exists(replaced + "_backup"));
    EXPECT_FALSE(std::filesystem::exists(easy + "a1.lvl"));
    EXPECT_FALSE(std::filesystem::exists(easy + "b2_2.lvl"));
    EXPECT_FALSE(std::filesystem::exists(easy + "LEVEL007_00.LVL"));
    EXPECT_EQ(readBytes(easy + "b2.lvl"), theirs);
}

// Files of the pack's names that hold other levels: the report offers Replace, Cancel being the
// default, never an Import that can only fail; Replace keeps each old file as "<name>_backup".
// A name that is a symbolic link is never written through into the folder it leads to: the
// report says so, and nothing is offered or written.
TEST_F(EditorWithFiles, AnImportThatReplacesFilesOffersReplaceWithCancelTheDefault) {
    const std::string first = levels + "/LEVEL007_00.LVL", second = levels + "/LEVEL007_01.LVL";
    const std::vector<unsigned char> old = makeLevelFile({}, "Old");
    writeBytes(first, old);
    std::filesystem::create_directory(dir.file("elsewhere"));
    std::filesystem::create_symlink("../elsewhere/x.lvl", second);
    select("root2");
    user.inputs = {{"MY PACK", true}, {"MY PACK", true}, {"MY PACK", true}};
    EXPECT_FALSE(kImportPack(editor).done);
    EXPECT_NE(user.said.back().find("\"Beta\" cannot go into LEVEL007_01.LVL: that name is a "
                                    "symbolic link, which an import never writes through"),
              std::string::npos);
    EXPECT_EQ(user.questions.size(), 1u); // the set's name; no Import or Replace is offered
    EXPECT_TRUE(std::filesystem::is_empty(dir.file("elsewhere")));
    EXPECT_EQ(readBytes(first), old);
    std::filesystem::remove(second);
    user.confirmations = {false, true};
    EXPECT_FALSE(kImportPack(editor).done);
    EXPECT_EQ(readBytes(first), old);
    EXPECT_TRUE(kImportPack(editor).done);
    EXPECT_EQ(readBytes(first + "_backup"), old);
    EXPECT_EQ(user.questions.back().caption, "Import Level Pack [Replace, Cancel default]");
    // With no game's folder known the files went into the folder list's folder: undo puts the
    // old file back there too, and redo replaces it again.
    (void)editor.undo();
    EXPECT_EQ(readBytes(first), old);
    EXPECT_FALSE(std::filesystem::exists(first + "_backup"));
    EXPECT_FALSE(std::filesystem::exists(second));
    (void)editor.redo();
    EXPECT_NE(readBytes(first), old);
}

// The same pack imported again into the same group, its files still holding the same levels:
// the question names the set that holds them and offers to import them again, Cancel being the
// default. Once a file of the pack is gone or changed, it is another import.
TEST_F(EditorWithFiles, AReimportIntoTheSameGroupSaysSoWithCancelTheDefault) {
    select("root2");
    user.inputs = {{"MY PACK", true}, {"AGAIN", true}, {"AGAIN", true}, {"AGAIN", true}};
    user.confirmations = {true, false, false, false};
    ASSERT_TRUE(kImportPack(editor).done);
    select("root2");
    EXPECT_FALSE(kImportPack(editor).done);
    EXPECT_EQ(user.questions.back().caption, "Import Level Pack [Import Again, Cancel default]");
    EXPECT_TRUE(user.questions.back().text.starts_with(
        "'MY PACK' of this group holds the pack's levels already"));
    std::filesystem::remove(levels + "/LEVEL007_00.LVL");
    EXPECT_FALSE(kImportPack(editor).done);
    EXPECT_EQ(user.questions.back().caption, "Import Level Pack [Import]");
    writeBytes(levels + "/LEVEL007_01.LVL", makeLevelFile({}, "Changed"));
    EXPECT_FALSE(kImportPack(editor).done);
    EXPECT_EQ(user.questions.back().caption, "Import Level Pack [Replace, Cancel default]");
}

// A new group or set takes a name that none of its siblings has, as a window proposes it.
TEST_F(EditorTest, ANewGroupOrSetTakesANameItsSiblingsDoNotHave) {
    load({{"CUSTOM LEVELS", "A", {{"CUSTOM SET", {}}, {"CUSTOM SET 2", {}}}},
          {"CUSTOM LEVELS 3", "B", {}}});
    user.inputs = {{"C", true}, {"D", true}};
    ASSERT_TRUE(editor.addGroup().done);
    ASSERT_TRUE(editor.addGroup().done);
    select("root1");
    ASSERT_TRUE(editor.addSet().done);
    select("root2");
    ASSERT_TRUE(editor.addSet().done);
    EXPECT_EQ(describe("root3"), "root3@5 'CUSTOM LEVELS 2' [C]");
    EXPECT_EQ(describe("root4"), "root4@6 'CUSTOM LEVELS 4' [D]");
    EXPECT_EQ(describe("parent3"), "parent3@7 'CUSTOM SET 3' []");
    EXPECT_EQ(describe("parent4"), "parent4@8 'CUSTOM SET' []");
}

// Before a profile is loaded a command asks for one, but Add Group makes a group that takes a set.
TEST_F(EditorTest, WithoutAProfileOnlyAddGroupWorks) {
    Editor empty(store, user);
    user.tree = &empty.tree();
    user.inputs = {{"CUST", true}};
    (void)empty.addSet();
    EXPECT_TRUE(empty.addGroup().done);
    empty.clickNode(empty.tree().find("root1"));
    EXPECT_TRUE(empty.addSet().done);
    expectSaid({kLoadFirst, "? *"});
}

// Alt and a letter, or a letter in an open menu, reach one item: no menu, the bar of menus and
// each node's context menu included, offers a letter twice.
TEST_F(EditorTest, EveryMenuTakesEachOfItsLettersOnce) {
    auto once = [](const std::vector<char>& letters) {
        std::set<int> seen;
        for (char letter : letters)
            if (!seen.insert(std::tolower(static_cast<unsigned char>(letter))).second)
                return false;
        return true;
    };
    std::vector<char> bar;
    for (const window::Menu& menu : window::kMenus) {
        bar.push_back(menu.mnemonic);
        std::vector<char> items;
        for (const window::MenuItem& item : menu.items)
            items.push_back(item.mnemonic);
        EXPECT_TRUE(once(items)) << menu.name;
    }
    EXPECT_TRUE(once(bar));
    for (const char* key : {"root1", "parent1", "level1", ""}) {
        std::vector<char> items;
        for (window::Command command : window::contextCommands(editor.tree().find(key)))
            items.push_back(window::menuItem(command).mnemonic);
        EXPECT_TRUE(once(items)) << key;
    }
}

// README.md and the Help name menu paths as the menus hold them ("File > Import Level Pack...",
// "Options > Game folder..."), and the Help names every item of every menu.
TEST(WindowMenus, TheReadmeAndTheHelpNameTheMenusAsTheyAre) {
    for (const char* name : {"README.md", "docs/readme.html"}) {
        const auto bytes = readBytes(std::string(QUILLFEN_SOURCE_DIR "/") + name);
        const std::string raw(bytes.begin(), bytes.end());
        std::string text;
        for (std::size_t i = 0; i < raw.size(); ++i) {
            const bool entity = raw.compare(i, 4, "&gt;") == 0;
            text += entity ? '>' : raw[i];
            i += entity ? 3 : 0;
        }
        for (const window::Menu& menu : window::kMenus) {
            const std::string path = std::string(menu.title) + " > ";
            for (std::size_t at = text.find(path); at != std::string::npos;
                 at = text.find(path, at + 1)) {
                bool found = false;
                for (const window::MenuItem& item : menu.items)
                    found = found ||
                            std::string_view(text).substr(at + path.size()).starts_with(item.text);
                EXPECT_TRUE(found) << name << ": " << text.substr(at, 40);
            }
            if (name == std::string_view("docs/readme.html")) {
                for (const window::MenuItem& item : menu.items)
                    EXPECT_NE(text.find(item.text), std::string::npos) << item.text;
            }
        }
    }
}

} // namespace
} // namespace quillfen::testing
