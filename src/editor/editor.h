#pragma once

#include "common/progress.h"
#include "common/result.h"
#include "common/user_interface.h"
#include "editing/editing_commands.h"
#include "editing/editor_state.h"
#include "editing/profile_check.h"
#include "editor/history.h"
#include "editor/latest_worker.h"
#include "editor/settings_file.h"
#include "host/file_write.h"
#include "levelfile/level_pack.h"
#include "preview/game_graphics.h"
#include "profiles/game_folder.h"
#include "profiles/profile_load_save.h"

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quillfen {

class ProfileStore;

// The project's version (CMakeLists.txt).
inline constexpr char kVersion[] = QUILLFEN_VERSION;
// What Help > About says, after the program's name and version: the licence's file as the
// Windows zip and installer (LICENSE.txt beside the program) or a Linux package ships it.
inline constexpr char kAboutText[] =
    "Adds custom levels to the player profiles of Windows Lemmings.\n\n"
    "Released under the MIT licence; see "
#ifdef _WIN32
    "LICENSE.txt, which comes with it."
#else
    "LICENSE, which comes with it (share/doc/quillfen/copyright once installed)."
#endif
    ;
// Help > About: the program's name and version, then kAboutText.
std::string aboutText();
inline constexpr char kDisclaimerTitle[] = "Disclaimer";
inline constexpr char kDisclaimer[] =
    "This program is given as it is, without any warranty of any kind, express or implied, as to "
    "its function, its safety or its stability, including any warranty of merchantability or of "
    "fitness for a particular purpose. Its author accepts no liability of any kind for any use "
    "of it or for anything that follows from such use.\r"
    "You may pass this program on freely, as long as the readme.html file goes with it.";

// What an action did, for a front-end to show. Messages and questions went through the
// UserInterface already.
struct Outcome {
    // The action did what was asked; false when it was refused, cancelled or failed.
    bool done = false;
    // The selected node changed (or may have): show `selected` as the tree's selection.
    bool selectionChanged = false;
    const LevelTree::Node* selected = nullptr;
    // What the detail panel's boxes are to show now, when the action changed it (the
    // selection, the selected level's file, the folder list's folder); without it the boxes
    // keep what they hold, the user's typing included.
    std::optional<DetailPanel> panel;
    // The profile box is to be filled anew with these names.
    std::optional<std::vector<std::string>> profiles;
    // The profile box is to show this name again (a choice in it was cancelled).
    std::optional<std::string> profileShown;
    // The folder list is to show this folder (a host path).
    std::optional<std::string> levelFolder;
    // What a window says in a message box (UserInterface::message) once the rest is shown: that
    // no game folder was found, and what to do, the first time a load finds none in a run.
    std::string notice;
};

// What start-up gives the window: the folder the folder list starts in (a host path: the one it
// showed last when that is still a folder, else the startup folder) and the profiles for the
// profile box.
struct StartUp {
    std::string startFolder;
    std::vector<std::string> profiles;
    // The profile the box shows first: the one loaded last when it is still there, else the
    // first.
    std::string profile;
};

// What a window shows of the document beside the tree: the caption ("*" while there are unsaved
// edits), the Edit menu's Undo and Redo ("Undo Delete Group", or "Undo" greyed when there is
// nothing to undo), and a status line naming the loaded profile and its file. All UTF-8, as
// every text the core shows, so that a profile's name shows whole whatever its characters.
struct DocumentState {
    std::string caption;
    std::string undoText, redoText;
    bool canUndo = false, canRedo = false;
    std::string status;
};

// The level files of the folder list's folder (every .lvl file, those of another engine too),
// the label that counts the Windows level files among them ("Counting ..." while a large
// folder's count runs beside the window's thread), and when the folder list moved, the panel
// with the counts read in the new folder.
struct LevelFolder {
    std::vector<std::string> names;
    std::string countText;
    std::optional<DetailPanel> panel;
};

// Where Import Level Pack puts the pack's levels.
enum class ImportInto {
    NewSet,      // a new set of the selected group, which the user names (the windows)
    SelectedSet, // the selected set
    FolderOnly,  // no set: the level files alone
};

// The one owner of the editing state behind every front-end: the tree and its tables, the
// profile that was loaded, the history of edits and whether there are unsaved ones. One method
// per user action; each asks and tells through the UserInterface and gives an Outcome.
class Editor {
public:
    Editor(ProfileStore& store, UserInterface& ui);

    const EditorState& state() const { return state_; }
    const LevelTree& tree() const { return state_.tree; }
    // True while the tree holds edits that no save has written.
    bool modified() const { return history_.modified(); }
    DocumentState documentState() const;
    // The profile the tree was loaded from or last saved into; empty when none.
    const std::string& loadedProfile() const { return loaded_.name; }
    // The host path of that profile's database file; empty when none.
    const std::string& loadedProfileFile() const { return loaded_.file.hostPath; }
    // The game's folder, where the group folders' level files are (see findGameFolder): looked
    // for when a profile is loaded and when the player names one; nothing when none was found.
    const std::optional<GameFolder>& gameFolder() const { return gameFolder_; }
    // What the profile check (checkProfile) found in the tree as of the last load, edit, undo,
    // redo or change of the game's folder; empty while the game's folder is not known.
    const std::vector<ProfileProblem>& problems() const { return problems_; }
    // A window's long work runs beside its thread from now on: the check of a long profile, on
    // a copy of the tree (problems() keeps the last check's answer until takeCheck() takes the
    // new one), and the count of a large folder's level files (takeLevelCount()). `ready` runs
    // on a worker's thread when one is done: it only wakes the window's thread, which then
    // calls takeCheck() and takeLevelCount(). Without it (the command line) all is done at once.
    void workBeside(std::function<void()> ready);
    // The answer of the newest check, once it is done: true when problems() holds it now.
    bool takeCheck();
    // The level-file list's count label for its folder, once the count of the folder's level
    // files is done; nothing before, nor for a folder listed before the current one.
    std::optional<std::string> takeLevelCount();
    // The command line's --game DIR: the game's folder is `hostFolder`, whatever else is found.
    void giveGameFolder(const std::string& hostFolder);
    // The folder chosen with Game folder... as the settings file keeps it, for the command line,
    // which has no startUp: searched as startUp's is, nothing written.
    void useChosenGameFolder(const std::string& hostFolder);

    // Start-up: the disclaimer at the first start and after a version change, which must be
    // agreed to (nothing when it is declined, and nothing was written), then the settings file
    // (made with its defaults when missing) and the profiles.
    std::optional<StartUp> startUp();
    // The folder list moved to `hostFolder`: its level files.
    LevelFolder openFolder(const std::string& hostFolder);
    // A folder typed into the path field (a Windows path such as C:\LEMM goes through the
    // prefix's drives): the host folder for the folder list to move to, or nothing after a
    // warning when it names no folder.
    std::optional<std::string> openTypedFolder(const TextAnswer& typed);
    const std::string& levelFolder() const { return levelFolder_; }
    // Where a folder chooser opens: the selected node's group's folder of the game when the
    // game's folder is known and that folder is there, else the folder list's folder.
    std::string chooserFolder() const;
    // A row of a folder list that shows folders itself.
    struct FolderRow {
        int depth = 0;
        // The folder's name; a root's whole path ("C:\", "/").
        std::string name;
        std::string hostPath;
        // The folder list's folder.
        bool current = false;
    };
    // The rows of such a folder list, from the top, as a file dialog shows them: each folder
    // from the root down to the folder list's folder, that folder among its siblings, and its
    // subfolders right below it, one step further in. The folders of one parent are in the
    // order of their names without regard to case, hidden ones too.
    std::vector<FolderRow> folderRows() const;
    // Why the level folder's file `name` is no Windows level file; empty when it is one.
    std::string notALevel(const std::string& name) const;

    // The Wine prefixes that hold the game's profiles (see findWinePrefixes), each with the line
    // that names it in a list (UTF-8, as host paths are).
    struct PrefixChoice {
        std::string folder;
        std::string label;
    };
    std::vector<PrefixChoice> winePrefixChoices(const std::string& home,
                                                const std::string& winePrefixEnv) const;
    // The profiles of the Wine prefix in `folder` from now on: unsaved edits are settled first
    // (not done: the user cancelled), then the tree is closed.
    Outcome useWinePrefix(const std::string& folder);

    // Load Profile, Save Profile Data, and a new choice in the profile box. Profile names are
    // UTF-8, as the registry gives them (see ProfileStore).
    Outcome loadProfile(const std::string& profile, const Progress& progress = {});
    Outcome saveProfile(const std::string& profile, const Progress& progress = {});
    // A choice in the profile box while another profile's tree has unsaved edits: once they are
    // saved or discarded, the chosen profile is loaded; Cancel gives the name the box showed
    // before (profileShown). Without unsaved edits the tree stays, to be saved into the chosen.
    Outcome chooseProfile(const std::string& profile, const Progress& progress = {});
    // Closing the window; false when the user cancelled.
    bool mayClose();
    // Loads a UserDatabase file that no profile names (the command-line tool's files).
    Status openFile(const std::string& hostPath);
    // Writes the tree as a UserDatabase file at `hostPath`, whole or not at all; no profile and
    // no backup are involved. Refused with "ERROR: could not write <path>: <why>".
    Status writeFile(const std::string& hostPath);
    // The registry key whose subkeys are the profiles, for this run only (the command-line
    // tool's --key); the settings file keeps its own.
    void setUsersKeyPath(const std::string& usersKeyPath) { state_.usersKeyPath = usersKeyPath; }

    // A click on a node in the tree (null: nothing). `boxes`, what the count boxes hold, when
    // they differ from what the shown level's file holds, are first offered to be saved (Save,
    // Discard, Cancel); Cancel changes nothing, and the outcome (not done) names the node that
    // stays selected.
    Outcome clickNode(const LevelTree::Node* node,
                      const std::optional<std::array<std::string, 9>>& boxes = std::nullopt);
    // A click on the level file `name` (the host's name, UTF-8) of the folder list: the panel
    // shows that file alone, its path and counts, and nothing of the tree. `boxes` as clickNode.
    Outcome clickFile(const std::string& name,
                      const std::optional<std::array<std::string, 9>>& boxes = std::nullopt);
    // A new group or set, with the name it is given; without one (a window, which lets the user
    // rename it in place) kNewGroupName or kNewSetName, numbered when a sibling has it already.
    Outcome addGroup();
    Outcome addGroup(const TextAnswer& name);
    Outcome addSet();
    Outcome addSet(const TextAnswer& name);
    // Add Selected Level(s): the selected files of the folder list's folder, each copied into
    // the selected set's group's folder of the game (made when missing) through the one write,
    // unless a file of its name there holds the same bytes. A file there of that name that holds
    // another level is never written over: the user is offered the level under a free name
    // ("NAME_2.LVL") or Cancel. Undo takes back what the add copied, and so does a close or a
    // load that discards the edit; once saved, the copies stay.
    Outcome addSelectedLevels(const FileListSelection& files);
    Outcome deleteGroup();
    Outcome deleteSet();
    Outcome deleteLevel();
    // Delete Group, Set or Level, whichever the selected node is.
    Outcome deleteSelected();
    Outcome moveUp();
    Outcome moveDown();
    // A level dragged to another row of its set; the rows of a drop, counted before the move.
    Outcome dropLevel(const LevelTree::Node* level, int row);
    // Level files (host paths) dropped on a set: added to it as Add Selected Level(s) adds them,
    // from the folder list's folder; files from another folder move it to the first file's
    // folder, and only the files in that folder are taken.
    Outcome dropLevelFiles(const LevelTree::Node* set, const std::vector<std::string>& paths);
    // Import Level Pack, the one import of every front-end: the pack's levels written as level
    // files into `hostFolder` and added as `into` says; into a set, once the game's folder is
    // known, they are written into the set's group's folder of the game instead (made when
    // missing). Into a new set, the user names the set, reads the report and chooses Import,
    // or Replace (Cancel the default) when files of the pack's names hold other levels; into
    // the selected set the report is told and such files refuse the import, as they do for the
    // folder alone (whose caller shows lastImport()). A name that is a symbolic link to another
    // file refuses it in every case. Nothing is written when the levels cannot be added.
    Outcome importLevelPack(const std::string& packPath, const std::string& hostFolder,
                            bool sequel = false, ImportInto into = ImportInto::NewSet);
    // The plan of the last import that was done: its levels, those found already there, and the
    // sections skipped.
    const levelfile::ImportPlan& lastImport() const { return lastImport_; }
    // Takes back the level files that this Editor's imports and unsaved adds made, for a run
    // that failed: each goes only while it is still the file written then; one that another
    // import took up since, or that was changed, is left, and a warning names it.
    void takeBackImports();
    Outcome updateFolder(const TextAnswer& folder);
    Outcome updateFileName(const TextAnswer& fileName);
    Outcome rename(const LevelTree::Node* node, const TextAnswer& text);
    Outcome undo();
    Outcome redo();

    // Properties: what the profile holds for the selected node, in a player's words: its kind
    // and name, its folder or file, and where it stands.
    void properties();
    // Save Level Info, and the menu commands.
    // Save Level Info: the counts go into the file the panel shows (a tree level's own file in
    // its group's folder, or the folder list's file clicked), only when `fileName` (the file name
    // box) still names it and its counts were read; otherwise refused ("cannot find level
    // file.." when no counts were read), nothing written.
    void saveLevelInfo(const TextAnswer& fileName, const std::array<std::string, 9>& counts);
    // Save Level Info for the level file at `hostPath`, wherever it is; true when it was saved.
    bool saveLevelInfoAt(const std::string& hostPath, const std::array<std::string, 9>& counts);
    // The count boxes' texts for the level file at `hostPath`: "0" for a count it lacks or when
    // it cannot be read.
    std::array<std::string, 9> levelCounts(const std::string& hostPath) const;
    // Set Startup Folder: the folder list's folder becomes the one it starts in.
    void setStartupFolder();
    // Game folder...: the game's folder is `hostFolder` (unless --game named one), in this run
    // and, through the settings file, in the next ones.
    void chooseGameFolder(const std::string& hostFolder);
    // DOS graphics folder...: `hostFolder` joins the folders of the DOS game's graphics that the
    // previews look in, or leaves them when it is one of them already; kept in the settings
    // file, so that the original game's and the sequel's folders both serve.
    void chooseDosGraphicsFolder(const std::string& hostFolder);
    const std::vector<std::string>& dosGraphicsFolders() const { return dosGraphicsFolders_; }
    // Where the level previews look for the game's graphics: the folders given, the game's
    // folder (its STYLES), the DOS graphics folders, the loaded profile's database file and the
    // Wine prefix in use (the level file's own folder is the previewed file's).
    preview::GraphicsPlaces graphicsPlaces(std::vector<std::string> folders = {}) const;
    Outcome changeUsersKey();
    void help();
    // Alt+Up pressed while a control other than the tree has the focus: says where it acts.
    void moveKeyElsewhere();

private:
    Outcome edit(const char* name, const std::function<EditResult()>& command);
    // Shows `text`, when there is one: as information when the action was `done` and the text
    // warns of nothing, else as a message; true when there was a text.
    bool tell(const std::string& text, bool done = false);
    Outcome deleteOfKind(NodeKind kind, const char* name);
    std::string caption() const;
    // The profiles below the users key, for the profile box; none after a warning.
    std::vector<std::string> profiles();
    // Keeps `place` for the next start when it differs from the one kept.
    void keepLastPlace(const settings::LastPlace& place);
    Outcome selectionOutcome(bool done);
    // The panel for the selected node, read afresh, which the Editor keeps as what it shows.
    DetailPanel readPanel();
    // Before the panel leaves its level: typed counts saved or dropped as the user says; false
    // for Cancel or a save that failed.
    bool leaveCounts(const std::optional<std::array<std::string, 9>>& boxes);
    // The kept panel with the counts of the level file at `hostPath`, or what is missing.
    DetailPanel readCounts(const std::string& hostPath);
    // The host path of a level node's file: in its group's folder of the game, or while the
    // game's folder is not known, in the folder list's folder. `shown` gets the path as the
    // player would type it.
    std::string levelFileOf(const LevelTree::Node* level, std::string* shown = nullptr) const;
    // The plan of copying `levels` into the selected set's group's folder (empty when the game's
    // folder is not known), asking before a level takes a free name; `said` gets what is to be
    // told of those. Refused with the message, empty for Cancel.
    Result<levelfile::ImportPlan> planLevelCopies(std::vector<levelfile::PlannedLevel> levels,
                                                  std::string& said);
    // Takes back the level files that a step copied and no save kept, warning of those left.
    void takeBackCopies(History::Step& step);
    // Asks "Save changes to the profile ...?" when there are unsaved edits; false for Cancel or
    // a save that failed.
    bool settleUnsavedEdits();
    bool confirmTarget(const std::string& profile, const ProfilePath& path,
                       std::optional<ReadState>& replacing);
    void forgetLoadedProfile();
    // Where the game's folder is looked for; findGame() looks for it anew (gameFolder()).
    GameSearch gameSearch() const;
    void findGame();
    // Checks the tree again (problems()).
    void recheck();
    // Reads the settings file, changes it and writes it back; false after telling the user that
    // it could not be written.
    bool changeSettings(const std::function<void(settings::Settings&)>& change);

    struct LoadedProfile {
        std::string name;
        ProfileFile file;
        // Its identity and bytes as they were loaded or saved: a save refuses a file that
        // another program wrote since.
        ReadState read = {};
    };
    // A file as it was read.
    struct FileRead {
        std::string hostPath;
        ReadState read;
    };

    ProfileStore* store_;
    // The store of a prefix the user chose, once there is one.
    std::unique_ptr<ProfileStore> chosenStore_;
    UserInterface& ui_;
    EditorState state_;
    History history_;
    LoadedProfile loaded_;
    // The file opened outside of any profile (openFile), and the level file whose counts the
    // panel or levelCounts read last, for Save Level Info.
    FileRead opened_;
    mutable FileRead countsRead_;
    std::string levelFolder_;
    std::string chosenGameFolder_; // a host path; empty until the player chose one
    std::vector<std::string> dosGraphicsFolders_;
    std::string givenGameFolder_; // --game DIR
    std::optional<GameFolder> gameFolder_;
    // A box has said once in this run that no game folder was found.
    bool gameNotFoundSaid_ = false;
    std::vector<ProfileProblem> problems_;
    DetailPanel panel_;
    bool fileShown_ = false; // the panel shows a file of the folder list, not the tree's node
    // What the profile box shows since it was filled, a profile was loaded or chosen.
    std::string shownProfile_;
    // Where the player left off, as kept in the settings folder for the next start.
    settings::LastPlace lastPlace_;
    levelfile::ImportPlan lastImport_;
    // The level files that imports made, as they stood once written.
    std::vector<levelfile::WrittenLevel> imported_;
    // The count label of `names`, the .lvl files of `folder`: counted at once, or asked of the
    // count beside the window's thread for a large folder.
    std::string countLevels(const std::string& folder, const std::vector<std::string>& names);
    // What a check beside the window's thread is given: its own copy of the tree.
    struct CheckRequest {
        LevelTree tree;
        GameFolder game;
    };
    using ProfileChecks = LatestWorker<CheckRequest, std::vector<ProfileProblem>>;
    // What a count beside the window's thread is given: the folder and its .lvl files.
    struct CountRequest {
        std::string folder;
        std::vector<std::string> names;
    };
    using LevelCounts = LatestWorker<CountRequest, std::string>;
    // Last: they are stopped and joined first, when the window closes.
    std::unique_ptr<ProfileChecks> checks_;
    std::unique_ptr<LevelCounts> counts_;
};

} // namespace quillfen
