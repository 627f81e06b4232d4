// The Editor's actions on files: the folder list, profiles, level files.
#include "common/windows1252.h"
#include "database/database_format.h"
#include "database/database_reader.h"
#include "database/database_writer.h"
#include "editor/editor.h"
#include "editor/settings_file.h"
#include "host/file_io.h"
#include "host/file_write.h"
#include "levelfile/level_file.h"
#include "levelfile/level_folder.h"
#include "profiles/prefix_discovery.h"
#include "profiles/profile_store.h"

#include <algorithm>
#include <utility>

namespace quillfen {
namespace {

// "3 groups, 5 sets and 40 levels" of a profile file's bytes, or nothing when they cannot be
// read as one.
std::optional<std::string> contentsOf(const std::vector<unsigned char>& bytes) {
    auto parsed = ParseDatabaseFile(bytes);
    if (!parsed)
        return std::nullopt;
    std::array<int, 3> kinds{};
    for (int i = 1; i <= parsed->tree.count(); ++i)
        ++kinds[static_cast<std::size_t>(parsed->tree.item(i)->kind())];
    return std::to_string(kinds[0]) + " groups, " + std::to_string(kinds[1]) + " sets and " +
           std::to_string(kinds[2]) + " levels";
}

// Whether `bytes` are no longer what the profile's file held when it was loaded or saved.
bool changedSince(const ProfileFile& file, const std::vector<unsigned char>& bytes) {
    return bytes.size() != file.size || hashBytes(bytes) != file.hash;
}

// The identity and bytes of the profile's file that a load or a save has just read or written,
// read again; when another program wrote it in between, a state that no file matches, so that
// the next write over it is refused.
ReadState readBack(const ProfileFile& file) {
    auto read = readState(file.hostPath, format::kReadLimit);
    return read && !changedSince(file, read->bytes) ? std::move(*read) : ReadState{};
}

} // namespace

std::string Editor::notALevel(const std::string& name) const {
    Status level = levelfile::checkLevelFile(levelfile::levelFilePath(levelFolder_, name));
    return level ? std::string() : level.error();
}

std::vector<Editor::PrefixChoice>
Editor::winePrefixChoices(const std::string& home, const std::string& winePrefixEnv) const {
    std::vector<PrefixChoice> choices;
    for (const FoundPrefix& prefix : findWinePrefixes(home, winePrefixEnv, state_.usersKeyPath))
        choices.push_back({prefix.path, prefix.path + " (" + prefix.launcher + ", " +
                                            std::to_string(prefix.profiles.size()) +
                                            " profile(s))"});
    return choices;
}

Outcome Editor::useWinePrefix(const std::string& folder) {
    if (!settleUnsavedEdits())
        return {};
    state_.tree.clear();
    history_.clear();
    forgetLoadedProfile();
    chosenStore_ = std::make_unique<WinePrefixStore>(folder);
    store_ = chosenStore_.get();
    findGame();
    Outcome outcome = selectionOutcome(true);
    outcome.profiles = profiles();
    shownProfile_ = outcome.profiles->empty() ? std::string() : outcome.profiles->front();
    return outcome;
}

std::vector<std::string> Editor::profiles() {
    auto names = LoadProfiles(*store_, state_.usersKeyPath);
    if (!names) {
        ui_.message(names.error());
        return {};
    }
    return std::move(*names);
}

LevelFolder Editor::openFolder(const std::string& hostFolder) {
    LevelFolder folder{levelfile::scanLevelFiles(hostFolder), {}, std::nullopt};
    folder.countText = countLevels(hostFolder, folder.names);
    // While the game's folder is not known, a tree level's counts come from the folder list's
    // folder: a move reads them in the new one. Otherwise the move changes nothing of the panel.
    if (hostFolder != levelFolder_) {
        levelFolder_ = hostFolder;
        if (!gameFolder())
            folder.panel = readPanel();
    }
    keepLastPlace({hostFolder, lastPlace_.profile});
    return folder;
}

std::string Editor::chooserFolder() const {
    const LevelTree::Node* group = state_.tree.selected();
    while (group && group->kind() != NodeKind::Group)
        group = group->parent();
    if (gameFolder_ && group) {
        std::string folder =
            groupFolderHostPath(*gameFolder_, std::string(state_.groupFolders(group->index())));
        if (isFolder(folder))
            return folder;
    }
    return levelFolder_;
}

std::vector<Editor::FolderRow> Editor::folderRows() const {
    // A folder typed with a separator at its end ("C:\LEMM\") is the folder before it; a root
    // is its own folder.
    std::string current = levelFolder_;
    if (fileNameOf(current).empty() && folderOf(current) != current)
        current = folderOf(current);
    std::vector<std::string> chain{current};
    while (folderOf(chain.front()) != chain.front())
        chain.insert(chain.begin(), folderOf(chain.front()));

    std::vector<FolderRow> rows;
    const int depth = static_cast<int>(chain.size()) - 1;
    for (int above = 0; above < depth; ++above)
        rows.push_back(
            {above, above == 0 ? chain[0] : fileNameOf(chain[above]), chain[above], false});
    // The folder among its siblings (the entry that is the same folder, its name typed in any
    // case on Windows), its subfolders right below it.
    auto addCurrent = [&](const std::string& name) {
        rows.push_back({depth, name, current, true});
        for (const std::string& below : subfoldersOf(current))
            rows.push_back({depth + 1, fileNameOf(below), below, false});
    };
    bool placed = false;
    if (depth > 0)
        for (const std::string& path : subfoldersOf(chain[depth - 1])) {
            const std::string name = fileNameOf(path);
            bool isCurrent = false;
            if (!placed) {
                auto same = sameFile(path, current);
                placed = isCurrent = same && *same;
            }
            if (isCurrent)
                addCurrent(name);
            else
                rows.push_back({depth, name, path, false});
        }
    if (!placed)
        addCurrent(depth == 0 ? current : fileNameOf(current));
    return rows;
}

std::optional<std::string> Editor::openTypedFolder(const TextAnswer& typed) {
    // Spaces around a pasted path are no part of it.
    std::string text = typed.text;
    text.erase(0, text.find_first_not_of(' '));
    text.erase(text.find_last_not_of(' ') + 1);
    std::string folder = settings::hostFolder(text, *store_);
    if (!typed.storable || !isFolder(folder)) {
        ui_.message("WARNING: " + windows1252ToUtf8(text) + " is not a folder");
        return std::nullopt;
    }
    return folder;
}

bool Editor::settleUnsavedEdits() {
    if (!modified())
        return true;
    std::string name = loaded_.name.empty() ? "(none)" : loaded_.name;
    switch (ui_.askToSave("Save changes to the profile '" + name + "'?")) {
    case SaveChoice::Save:
        if (loaded_.name.empty()) {
            ui_.refuse("the tree was not loaded from a profile: choose the profile to save it "
                       "into and press Save Profile Data");
            return false;
        }
        return saveProfile(loaded_.name).done;
    case SaveChoice::Discard:
        // The game's folders go back to what they held before the edits.
        for (History::Step& step : history_.doneSteps())
            takeBackCopies(step);
        return true;
    case SaveChoice::Cancel:
        break;
    }
    return false;
}

void Editor::forgetLoadedProfile() {
    loaded_ = {};
}

Outcome Editor::loadProfile(const std::string& profile, const Progress& progress) {
    shownProfile_ = profile;
    if (!settleUnsavedEdits())
        return {};
    auto path = findProfileFile(*store_, state_.usersKeyPath, profile);
    if (!path) {
        ui_.message(path.error());
        return {};
    }
    auto loaded = LoadProfile(*path, progress);
    if (!loaded) {
        ui_.message(loaded.error());
        return {};
    }
    state_.adopt(std::move(loaded->database));
    history_.clear();
    loaded_ = {profile, std::move(loaded->file)};
    loaded_.read = readBack(loaded_.file);
    keepLastPlace({lastPlace_.folder, profile});
    findGame();
    Outcome outcome = selectionOutcome(true);
    // The status bar says it after every action; a box says it, with what to do, once a run.
    if (!gameFolder_ && !std::exchange(gameNotFoundSaid_, true))
        outcome.notice = gameFolderNotFound(gameSearch());
    return outcome;
}

Outcome Editor::chooseProfile(const std::string& profile, const Progress& progress) {
    if (profile == loaded_.name || !modified()) {
        shownProfile_ = profile;
        Outcome outcome;
        outcome.done = true;
        return outcome;
    }
    if (!settleUnsavedEdits()) {
        Outcome kept;
        kept.profileShown = shownProfile_;
        return kept;
    }
    if (modified()) {
        // Discarded: the tree goes with its edits, so that nothing of it reaches another
        // profile by mistake, also when the chosen one cannot be loaded.
        state_.tree.clear();
        history_.clear();
        forgetLoadedProfile();
    }
    // The tree shown is the profile the box names, never the other one's under its name.
    return loadProfile(profile, progress);
}

bool Editor::mayClose() {
    return settleUnsavedEdits();
}

// Before the tree replaces what a profile holds: a question when it came from elsewhere, or
// when the file changed since this tool last read or wrote it. `replacing` becomes the file as
// the user agreed to replace it (nothing when it cannot be read, which the save refuses itself).
bool Editor::confirmTarget(const std::string& profile, const ProfilePath& path,
                           std::optional<ReadState>& replacing) {
    replacing.reset();
    if (auto there = readState(path.hostPath, format::kReadLimit))
        replacing = std::move(*there);
    if (loaded_.name.empty()) {
        auto contents = replacing ? contentsOf(replacing->bytes) : std::nullopt;
        std::string what = contents ? profile + "'s " + *contents : "its file";
        return ui_.proceed("The tree was not loaded from a profile. Save it into the profile '" +
                               profile + "' (" + path.shown() + "), replacing " + what + "?",
                           "Confirm Save", "Save", false);
    }
    if (loaded_.name != profile)
        return ui_.proceed("The tree was loaded from the profile '" + loaded_.name +
                               "'. Save it into the profile '" + profile + "' (" + path.shown() +
                               "), replacing its levels?",
                           "Confirm Save", "Save", false);
    if (loaded_.file.hostPath != path.hostPath)
        return true;
    if (!replacing || changedSince(loaded_.file, replacing->bytes))
        return ui_.proceed("The profile's file " + path.shown() +
                               " was changed on disk since it was loaded or last saved. Replace "
                               "it with the tree?",
                           "Confirm Save", "Save", false);
    // Unchanged: the file the tree came from, as it was read then.
    replacing = loaded_.read;
    return true;
}

Outcome Editor::saveProfile(const std::string& profile, const Progress& progress) {
    if (!profileLoaded(state_)) {
        ui_.refuse(kLoadFirst);
        return {};
    }
    auto path = findProfileFile(*store_, state_.usersKeyPath, profile);
    if (!path) {
        ui_.message(path.error());
        return {};
    }
    std::optional<ReadState> replacing;
    if (!confirmTarget(profile, *path, replacing))
        return {};
    auto saved = SaveProfileData(state_.tree, *store_, profile, *path, progress, replacing);
    if (!saved) {
        // Another program wrote the file after the question or the load: its bytes stay.
        ui_.message(saved.error().ends_with(kChangedMeanwhile)
                        ? "ERROR: the profile's file " + path->hostPath +
                              " was changed by another program since it was read; nothing was "
                              "saved"
                        : saved.error());
        return {};
    }
    tell(saved->message, true);
    loaded_ = {profile, std::move(saved->file)};
    loaded_.read = readBack(loaded_.file);
    history_.markSaved();
    Outcome outcome;
    outcome.done = true;
    return outcome;
}

Status Editor::openFile(const std::string& hostPath) {
    // The bytes parsed are the ones kept as read, so that a write over the file can tell.
    auto read = readState(hostPath, format::kReadLimit, OpenFor::RepairingRead);
    if (!read)
        return Error{explained(kCannotReadProfile, read.error())};
    auto loaded = parseProfileFile(read->bytes);
    if (!loaded)
        return Error{loaded.error()};
    state_.adopt(std::move(*loaded));
    history_.clear();
    forgetLoadedProfile();
    opened_ = {hostPath, std::move(*read)};
    // What was found in the tree before does not stand for this one.
    recheck();
    readPanel();
    return success();
}

Status Editor::writeFile(const std::string& hostPath) {
    // Written over the file the tree came from, only while it still holds what was read.
    WriteRules rules;
    if (auto same = sameFile(hostPath, opened_.hostPath); same && *same)
        rules.whenRead = opened_.read;
    if (auto written = quillfen::writeFile(hostPath, encodeDatabase(state_.tree), rules); !written)
        return Error{couldNotWrite(hostPath, written.error())};
    return success();
}

void Editor::saveLevelInfo(const TextAnswer& fileName, const std::array<std::string, 9>& counts) {
    if (!fileName.storable) {
        ui_.message(kUnstorableText);
        return;
    }
    // The counts shown belong to the file they were read from: written into another (the box
    // pointed elsewhere since, or a group or set selected) they would change the wrong level.
    if (panel_.countsFile.empty()) {
        ui_.message(levelfile::kLevelFileNotFound);
        return;
    }
    if (fileName.text != panel_.levelFile) {
        ui_.message("WARNING: the counts shown were not read from " +
                    windows1252ToUtf8(fileName.text) + "; nothing was written");
        return;
    }
    saveLevelInfoAt(panel_.countsFile, counts);
}

bool Editor::saveLevelInfoAt(const std::string& hostPath,
                             const std::array<std::string, 9>& counts) {
    std::optional<ReadState> read;
    if (countsRead_.hostPath == hostPath)
        read = countsRead_.read;
    auto saved = levelfile::SaveLevelInfo(hostPath, counts, read);
    if (!saved && saved.error().ends_with(kChangedMeanwhile)) {
        ui_.message("ERROR: the level file " + hostPath +
                    " was changed by another program since its counts were read; nothing was "
                    "written");
        return false;
    }
    tell(saved ? *saved : saved.error(), saved.ok());
    // The boxes now hold what the file holds: the next save is measured against it.
    if (auto now = readState(hostPath, levelfile::kLargestLevelRead); saved && now)
        countsRead_ = {hostPath, std::move(*now)};
    return saved.ok();
}

std::array<std::string, 9> Editor::levelCounts(const std::string& hostPath) const {
    // Kept before the counts are read: a change in between refuses the save, never hides.
    if (auto read = readState(hostPath, levelfile::kLargestLevelRead))
        countsRead_ = {hostPath, std::move(*read)};
    return levelfile::countTexts(hostPath, "0");
}

} // namespace quillfen
