// The Editor's loads, saves and their guards and the settings it keeps, through
// its public methods on a hand-written Wine prefix, with the user scripted.
#include "editor/editor.h"
#include "editor/settings_file.h"
#include "profiles/hand_prefix.h"
#include "scripted_user_interface.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace quillfen {
namespace {

using testing::Names;
using testing::readBytes;

const std::string kAlicePath = "C:\\LEMM\\USERS\\ALICE.DAT";
const Names kProfiles{"Alice", "Bob", "Gone"};

// The prefix's profiles and an Editor started in a working folder of its own.
class EditorFilesTest : public testing::ProfilePrefixTest {
protected:
    EditorFilesTest() {
        std::filesystem::current_path(work.path());
        EXPECT_EQ(editor.startUp()->profiles, kProfiles);
        editor.openFolder(levels);
    }
    ~EditorFilesTest() override { std::filesystem::current_path(home); }

    bool load(const std::string& profile) { return editor.loadProfile(profile).done; }
    bool save(const std::string& profile) { return editor.saveProfile(profile).done; }
    // An edit, so that there is something unsaved.
    void edit() {
        ui.inputs = {{"NEW", true}};
        ASSERT_TRUE(editor.addGroup().done);
    }
    // The desktop's configuration folder of the program, where the settings go.
    static std::string configured(const std::string& name) {
        return std::string(std::getenv("XDG_CONFIG_HOME")) + "/quillfen/" + name;
    }
    static std::string settingsFile(const std::string& path = configured(settings::kFileName)) {
        auto bytes = readBytes(path);
        return {bytes.begin(), bytes.end()};
    }

    std::filesystem::path home = std::filesystem::current_path();
    testing::TempDir work;
    ScriptedUserInterface ui;
    Editor editor{store, ui};
    std::string levels = std::filesystem::path(prefix.onDriveC("LEVELS/x")).parent_path();
};

// The refusals' texts are the profile layer's (tests/profiles); the Editor keeps its tree.
TEST_F(EditorFilesTest, ARefusedLoadSaysWhyAndKeepsTheTree) {
    ASSERT_TRUE(load("Alice"));
    std::filesystem::remove(bob);
    std::filesystem::create_directory(bob);
    EXPECT_FALSE(editor.loadProfile("Bob").done);
    EXPECT_EQ(ui.messages, Names{kFoundDirectory});
    EXPECT_EQ(encodeDatabase(editor.tree()), aliceBytes);
    EXPECT_EQ(editor.loadedProfile(), "Alice");
}

TEST_F(EditorFilesTest, ASaveWritesTheProfileTheBoxNamesAndAsksBeforeReplacingAnother) {
    EXPECT_FALSE(save("Alice"));
    EXPECT_EQ(ui.messages, Names{kLoadFirst});
    ASSERT_TRUE(load("Alice"));
    ASSERT_TRUE(save("Alice"));
    EXPECT_EQ(ui.messages.back(), "saved the profile 'Alice' to " + kAlicePath);
    EXPECT_EQ(editor.documentState().caption, "Alice - Quillfen Level Adder");
    EXPECT_EQ(readBytes(alice), aliceBytes);
    EXPECT_TRUE(ui.questions.empty());

    // Into Bob's profile only when the user says so.
    ui.confirmations = {false, true};
    EXPECT_FALSE(save("Bob"));
    EXPECT_EQ(ui.questions.back().text,
              "The tree was loaded from the profile 'Alice'. Save it into the profile 'Bob' "
              "(C:\\LEMM\\USERS\\BOB.DAT), replacing its levels?");
    EXPECT_EQ(readBytes(bob), bobBytes);
    ASSERT_TRUE(save("Bob"));
    EXPECT_EQ(readBytes(bob), aliceBytes);
    EXPECT_EQ(editor.loadedProfile(), "Bob");

    // Another program writes Bob's file: the next save asks before replacing it.
    testing::writeBytes(bob, bobBytes);
    ui.confirmations = {false};
    EXPECT_FALSE(save("Bob"));
    EXPECT_NE(ui.questions.back().text.find("was changed on disk"), std::string::npos);
    EXPECT_EQ(readBytes(bob), bobBytes);

    // A tree from a file of no profile names what it would replace.
    testing::TempDir elsewhere;
    testing::writeBytes(elsewhere.file("x.dat"), bobBytes);
    ASSERT_TRUE(editor.openFile(elsewhere.file("x.dat")).ok());
    ui.confirmations = {false};
    EXPECT_FALSE(save("Alice"));
    EXPECT_EQ(ui.questions.back().text,
              "The tree was not loaded from a profile. Save it into the profile 'Alice' (" +
                  kAlicePath + "), replacing Alice's 1 groups, 1 sets and 3 levels?");
    EXPECT_EQ(readBytes(alice), aliceBytes);
}

TEST_F(EditorFilesTest, UnsavedEditsAreAskedAboutBeforeTheyAreLost) {
    // Each answer, to a load, a close and a new choice in the profile box: all but Cancel go on.
    for (SaveChoice answer : {SaveChoice::Cancel, SaveChoice::Discard, SaveChoice::Save}) {
        for (int action = 0; action < 3; ++action) {
            testing::writeBytes(alice, aliceBytes);
            ASSERT_TRUE(load("Alice"));
            edit();
            ui.saveChoices = {answer};
            bool wentOn = action == 0   ? load("Bob")
                          : action == 1 ? editor.mayClose()
                                        : editor.chooseProfile("Bob").done;
            SCOPED_TRACE(std::to_string(int(answer)) + "/" + std::to_string(action));
            EXPECT_EQ(ui.questions.back().text, "Save changes to the profile 'Alice'?");
            EXPECT_EQ(wentOn, answer != SaveChoice::Cancel);
            EXPECT_EQ(readBytes(alice) != aliceBytes, answer == SaveChoice::Save);
            // The profile the box names is the one shown, never Alice's tree under Bob's name.
            if (wentOn && action != 1) {
                EXPECT_EQ(editor.loadedProfile(), "Bob");
                EXPECT_EQ(encodeDatabase(editor.tree()), bobBytes);
            }
            ui.saveChoices = {SaveChoice::Discard};
        }
    }
    // Edits of a tree that no profile gave cannot be saved from the question.
    ASSERT_TRUE(editor.openFile(alice).ok());
    edit();
    ui.saveChoices = {SaveChoice::Save};
    EXPECT_FALSE(editor.mayClose());
    EXPECT_TRUE(ui.messages.back().starts_with("the tree was not loaded from a profile"));
}

TEST_F(EditorFilesTest, TheSettingsKeepTheStartupFolderAndTheUsersKey) {
    editor.setStartupFolder();
    EXPECT_EQ(ui.messages.back(), "Startup folder has been set to '" + levels + "'");
    EXPECT_EQ(settingsFile(), levels + "\r\n" + kDefaultUsersKeyPath + "\r\n");
    Editor again(store, ui);
    EXPECT_EQ(again.startUp()->startFolder, levels);

    // A key without profiles warns, empties the box and is stored all the same.
    ui.inputs = {{"SOFTWARE\\Nobody", true}};
    EXPECT_EQ(editor.changeUsersKey().profiles, Names{});
    EXPECT_EQ(ui.messages.back(), kNoProfiles);
    EXPECT_EQ(settingsFile(), levels + "\r\nSOFTWARE\\Nobody\r\n");
    // A settings file gone missing is written anew with the default folder; Cancel keeps all.
    std::filesystem::remove(configured(settings::kFileName));
    ui.inputs = {{kDefaultUsersKeyPath, true}};
    EXPECT_EQ(editor.changeUsersKey().profiles, kProfiles);
    EXPECT_EQ(settingsFile(), "c:\r\n" + std::string(kDefaultUsersKeyPath) + "\r\n");
    EXPECT_FALSE(editor.changeUsersKey().done);
    EXPECT_EQ(editor.state().usersKeyPath, kDefaultUsersKeyPath);
}

// The folder list's last folder and the last profile loaded open again at the next start; a
// folder gone since leaves the startup folder, a profile gone the first one.
TEST_F(EditorFilesTest, TheLastFolderAndProfileComeBackAtTheNextStart) {
    const std::string sub = levels + "/SUB";
    std::filesystem::create_directory(sub);
    ASSERT_TRUE(load("Bob"));
    editor.openFolder(sub);
    std::optional<StartUp> again = Editor(store, ui).startUp();
    EXPECT_EQ(again->startFolder, sub);
    EXPECT_EQ(again->profile, "Bob");
    std::filesystem::remove(sub);
    prefix.writeRegistry(testing::profileKey("Alice", R"(C:\\LEMM\\USERS\\ALICE.DAT)"));
    again = Editor(store, ui).startUp();
    EXPECT_EQ(again->startFolder, settings::startupFolderPath("c:", store));
    EXPECT_EQ(again->profile, "Alice");
}

// The folder list's rows as a file dialog shows them: the folder among its siblings, hidden ones
// too, in the order of their names without regard to case, its subfolders right below it; a
// root's folders joined to it without a second separator.
TEST_F(EditorFilesTest, TheFolderRowsHoldHiddenSiblingsInOrderAndARootsFoldersJoinedOnce) {
    for (const char* name : {"b", ".hidden", "C", "b/sub"})
        std::filesystem::create_directory(levels + "/" + name);
    editor.openFolder(levels + "/b");
    std::vector<Editor::FolderRow> rows = editor.folderRows();
    int depth = 0;
    for (const Editor::FolderRow& row : rows)
        depth = row.current ? row.depth : depth;
    Names shown;
    for (const Editor::FolderRow& row : rows)
        if (row.depth >= depth)
            shown.push_back(row.name + (row.current ? "*" : ""));
    EXPECT_EQ(shown, (Names{".hidden", "b*", "sub", "C"}));
    editor.openFolder("/");
    rows = editor.folderRows();
    ASSERT_GT(rows.size(), 1u);
    EXPECT_EQ(rows[0].hostPath, "/");
    EXPECT_EQ(rows[1].hostPath, "/" + rows[1].name);
}

// Started from the desktop's menu, the working folder is the home folder: the settings and the
// agreement to the disclaimer go to the desktop's configuration folder instead, made when first
// written. A settings file in the working folder is still the one read and written.
TEST_F(EditorFilesTest, TheSettingsAndTheAgreementGoWhereTheDesktopKeepsSettings) {
    EXPECT_FALSE(std::filesystem::exists(work.file(settings::kFileName)));
    EXPECT_EQ(settingsFile(), "c:\r\n" + std::string(kDefaultUsersKeyPath) + "\r\n");
    // The disclaimer is asked again after a version change only; declined, nothing is kept.
    Editor again(store, ui);
    ASSERT_TRUE(again.startUp());
    EXPECT_EQ(ui.disclaimers, 1);
    testing::writeBytes(configured(settings::kAgreementFileName), std::vector<unsigned char>{'3'});
    ui.agrees = false;
    EXPECT_FALSE(again.startUp());
    EXPECT_EQ(ui.disclaimers, 2);
    ui.agrees = true;
    ASSERT_TRUE(again.startUp());
    ASSERT_TRUE(again.startUp());
    EXPECT_EQ(ui.disclaimers, 3);

    // Without an absolute $XDG_CONFIG_HOME, ~/.config; nothing is written before a Yes.
    testing::TempDir home;
    const std::string homeWas = std::getenv("HOME"), configWas = std::getenv("XDG_CONFIG_HOME");
    ::setenv("HOME", home.path().c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", "relative", 1);
    ui.agrees = false;
    EXPECT_FALSE(again.startUp());
    EXPECT_TRUE(std::filesystem::is_empty(home.path()));
    ui.agrees = true;
    ASSERT_TRUE(again.startUp());
    EXPECT_EQ(settingsFile(home.file(".config/quillfen/profile.txt")),
              "c:\r\n" + std::string(kDefaultUsersKeyPath) + "\r\n");
    ::setenv("HOME", homeWas.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", configWas.c_str(), 1);

    testing::writeBytes(work.file(settings::kFileName), std::vector<unsigned char>{'/'});
    std::filesystem::remove(configured(settings::kLastPlaceFileName));
    EXPECT_EQ(again.startUp()->startFolder, "/");
    editor.setStartupFolder();
    EXPECT_EQ(settingsFile(work.file(settings::kFileName)),
              levels + "\r\n" + kDefaultUsersKeyPath + "\r\n");
}

// The game's folder the player chose is the settings file's third line (where earlier versions
// kept the graphics folder), the DOS graphics folders the lines after it; the previews look in
// them, then beside the loaded profile and in its Wine prefix. The status bar names the game, or
// says that none was found, as a box says once.
TEST_F(EditorFilesTest, TheChosenFoldersAreKeptAndThePreviewsLookInThemThenWhereTheProfileIs) {
    const std::string dos = prefix.onDriveC("DOS"), sequel = prefix.onDriveC("DOS2");
    std::filesystem::create_directories(dos);
    std::filesystem::create_directories(sequel);
    EXPECT_TRUE(editor.documentState().status.ends_with(" - game folder not found: choose it with "
                                                        "Options > Game folder..."));
    // A load that finds no game says so in a box with what to do, once in a run; no box opens.
    Outcome loaded = editor.loadProfile("Alice");
    EXPECT_TRUE(loaded.notice.starts_with("found no game folder (one that holds LEVEL and STYLES)"))
        << loaded.notice;
    EXPECT_NE(loaded.notice.find("choose it with Options > Game folder..."), std::string::npos);
    EXPECT_EQ(editor.loadProfile("Bob").notice, "");
    EXPECT_TRUE(ui.messages.empty());
    editor.chooseGameFolder(levels);
    EXPECT_EQ(settingsFile(),
              "c:\r\n" + std::string(kDefaultUsersKeyPath) + "\r\n" + levels + "\r\n");
    EXPECT_NE(editor.documentState().status.find(" - game C:\\LEVELS"), std::string::npos);
    for (const std::string& folder : {dos, sequel, dos, dos})
        editor.chooseDosGraphicsFolder(folder);
    editor.setStartupFolder();
    EXPECT_EQ(settingsFile(), levels + "\r\n" + kDefaultUsersKeyPath + "\r\n" + levels + "\r\n" +
                                  sequel + "\r\n" + dos + "\r\n");
    Editor again(store, ui);
    ASSERT_TRUE(again.startUp());
    ASSERT_TRUE(again.loadProfile("Alice").done);
    preview::GraphicsPlaces places = again.graphicsPlaces();
    EXPECT_EQ(places.chosen, (Names{levels, sequel, dos}));
    EXPECT_EQ(std::filesystem::canonical(places.databaseFile), std::filesystem::canonical(alice));
    EXPECT_EQ(places.winePrefix, prefix.path());
}

// Spaces around a pasted path are no part of it; a file is no folder.
TEST_F(EditorFilesTest, ATypedFolderGoesThroughThePrefixsDrives) {
    EXPECT_EQ(std::filesystem::canonical(*editor.openTypedFolder({"  C:\\LEVELS ", true})),
              std::filesystem::canonical(levels));
    EXPECT_EQ(editor.openTypedFolder({alice, true}), std::nullopt);
    EXPECT_EQ(ui.messages, Names{"WARNING: " + alice + " is not a folder"});
}

} // namespace
} // namespace quillfen
