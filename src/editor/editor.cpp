#include "editor/editor.h"

#include "database/database_format.h"
#include "database/database_reader.h"
#include "database/database_writer.h"
#include "editing/command_checks.h"
#include "editing/importing.h"
#include "editor/settings_file.h"
#include "editor/window_texts.h"
#include "host/file_io.h"
#include "levelfile/level_file.h"
#include "levelfile/level_folder.h"
#include "profiles/profile_store.h"

namespace quillfen {
namespace {

constexpr char kSettingsNotWritten[] = "ERROR: cannot write the settings file: ";
constexpr char kNoSelection[] = "you must first select a node";

std::string keyOf(const LevelTree::Node* node) {
    return node ? node->key() : std::string();
}

// "3 groups, 5 sets and 40 levels" of the profile file at `hostPath`, or nothing when it cannot
// be read as one.
std::optional<std::string> contentsOf(const std::string& hostPath) {
    auto bytes = readWholeFile(hostPath, format::kReadLimit);
    if (!bytes)
        return std::nullopt;
    auto parsed = ParseDatabaseFile(*bytes);
    if (!parsed)
        return std::nullopt;
    std::array<int, 3> kinds{};
    for (int i = 1; i <= parsed->tree.count(); ++i)
        ++kinds[static_cast<std::size_t>(parsed->tree.item(i)->kind())];
    return std::to_string(kinds[0]) + " groups, " + std::to_string(kinds[1]) + " sets and " +
           std::to_string(kinds[2]) + " levels";
}

// True when the file at `file.hostPath` no longer holds the bytes it held when it was loaded or
// saved (another program wrote it, or it is gone).
bool changedOnDisk(const ProfileFile& file) {
    auto bytes = readWholeFile(file.hostPath, format::kReadLimit);
    return !bytes || bytes->size() != file.size || hashBytes(*bytes) != file.hash;
}

} // namespace

Editor::Editor(ProfileStore& store, UserInterface& ui) : store_(&store), ui_(ui) {}

std::string Editor::caption() const {
    return std::string(kCaption) + (modified() ? " *" : "");
}

std::string Editor::statusText() const {
    std::string text = loaded_.name.empty()
                           ? std::string("no profile loaded")
                           : "profile '" + loaded_.name + "': " + loaded_.file.databasePath;
    return modified() ? text + " - modified" : text;
}

std::string Editor::undoText() const {
    std::string name = history_.undoName();
    return name.empty() ? name : "Undo " + name;
}

std::string Editor::redoText() const {
    std::string name = history_.redoName();
    return name.empty() ? name : "Redo " + name;
}

StartUp Editor::startUp() {
    // A folder that cannot be written leaves the defaults to serve; the tool works without it.
    if (auto info = pathInfo(settings::kFileName); !info || info->kind == EntryKind::Missing)
        (void)settings::writeSettings(settings::kFileName, settings::Settings{});
    settings::Settings startup = settings::readSettings(settings::kFileName);
    state_.usersKeyPath = startup.usersKeyPath;
    StartUp result;
    result.startFolder = settings::startupFolderPath(startup.startupFolder, *store_);
    result.profiles = LoadProfiles(*store_, state_.usersKeyPath, ui_);
    return result;
}

std::string Editor::notALevel(const std::string& name) const {
    Status level = levelfile::checkLevelFile(levelfile::levelFilePath(levelFolder_, name));
    return level ? std::string() : level.error();
}

Outcome Editor::switchStore(ProfileStore& store) {
    if (!settleUnsavedEdits())
        return {};
    state_.tree.clear();
    history_.clear();
    forgetLoadedProfile();
    store_ = &store;
    Outcome outcome = selectionOutcome(true);
    outcome.profiles = LoadProfiles(*store_, state_.usersKeyPath, ui_);
    return outcome;
}

LevelFolder Editor::openFolder(const std::string& hostFolder) {
    levelFolder_ = hostFolder;
    LevelFolder folder{levelfile::scanLevelFiles(hostFolder), {}};
    folder.countText = std::to_string(folder.names.size()) + " levels found";
    return folder;
}

bool Editor::settleUnsavedEdits() {
    if (!modified())
        return true;
    std::string name = loaded_.name.empty() ? "(none)" : loaded_.name;
    switch (ui_.askToSave("Save changes to the profile '" + name + "'?")) {
    case SaveChoice::Save:
        if (loaded_.name.empty()) {
            ui_.message("the tree was not loaded from a profile: choose the profile to save it "
                        "into and press Save Profile Data");
            return false;
        }
        return saveProfile({loaded_.name, true}).done;
    case SaveChoice::Discard:
        return true;
    case SaveChoice::Cancel:
        break;
    }
    return false;
}

void Editor::forgetLoadedProfile() {
    loaded_ = {};
}

Outcome Editor::loadProfile(const TextAnswer& profile, const Progress& progress) {
    if (!profile.storable) {
        ui_.message(kUnstorableText);
        return {};
    }
    if (!settleUnsavedEdits())
        return {};
    ProfileFile file;
    if (!LoadProfile(state_, *store_, profile.text, ui_, progress, &file))
        return {};
    history_.clear();
    loaded_ = {profile.text, std::move(file)};
    return selectionOutcome(true);
}

bool Editor::chooseProfile(const std::string& profile) {
    if (profile == loaded_.name || !modified())
        return true;
    if (!settleUnsavedEdits())
        return false;
    if (modified()) {
        // Discarded: the tree goes with its edits, so that nothing of it reaches another
        // profile by mistake.
        state_.tree.clear();
        history_.clear();
        forgetLoadedProfile();
    }
    return true;
}

bool Editor::mayClose() {
    return settleUnsavedEdits();
}

// Before the tree replaces what a profile holds: a question when it came from elsewhere, or
// when the file changed since this tool last read or wrote it.
bool Editor::confirmTarget(const std::string& profile, const std::string& path) {
    std::string host = store_->hostPath(path);
    if (loaded_.name.empty()) {
        auto contents = contentsOf(host);
        std::string replacing = contents ? profile + "'s " + *contents : "its file";
        return ui_.confirm("The tree was not loaded from a profile. Save it into the profile '" +
                               profile + "' (" + path + "), replacing " + replacing + "?",
                           "confirm", false);
    }
    if (loaded_.name != profile)
        return ui_.confirm("The tree was loaded from the profile '" + loaded_.name +
                               "'. Save it into the profile '" + profile + "' (" + path +
                               "), replacing its levels?",
                           "confirm", false);
    if (loaded_.file.hostPath == host && changedOnDisk(loaded_.file))
        return ui_.confirm("The profile's file " + path +
                               " was changed on disk since it was loaded or last saved. Replace "
                               "it with the tree?",
                           "confirm", false);
    return true;
}

Outcome Editor::saveProfile(const TextAnswer& profile, const Progress& progress) {
    if (!profile.storable) {
        ui_.message(kUnstorableText);
        return {};
    }
    if (!profileLoaded(state_)) {
        ui_.message(kLoadFirst);
        return {};
    }
    std::string path = GetDatabaseFile(*store_, state_.usersKeyPath, profile.text, ui_);
    if (path.empty())
        return {};
    if (path != kNotFound && !confirmTarget(profile.text, path))
        return {};
    ProfileFile file;
    if (!SaveProfileData(state_, *store_, profile.text, ui_, progress, &file))
        return {};
    loaded_ = {profile.text, std::move(file)};
    history_.markSaved();
    Outcome outcome;
    outcome.done = true;
    return outcome;
}

Status Editor::openFile(const std::string& hostPath) {
    auto loaded = loadProfileFile(hostPath);
    if (!loaded)
        return Error{loaded.error()};
    state_.adopt(std::move(*loaded));
    history_.clear();
    forgetLoadedProfile();
    return success();
}

Outcome Editor::selectionOutcome(bool done) {
    Outcome outcome;
    outcome.done = done;
    outcome.selectionChanged = true;
    outcome.selected = state_.tree.selected();
    outcome.panel = detailPanelFor(state_, levelFolder_);
    return outcome;
}

Outcome Editor::clickNode(const LevelTree::Node* node) {
    state_.tree.select(node);
    Outcome outcome = selectionOutcome(true);
    outcome.selectionChanged = false; // the view shows it already
    return outcome;
}

// Runs one editing command and keeps what it changed as one step of the history. The panel
// follows the selection whenever the command moved it.
template <class Command> Outcome Editor::edit(const char* name, Command command) {
    const LevelTree::Node* before = state_.tree.selected();
    std::string selectedBefore = keyOf(before);
    EditStep step = command();
    if (!step) {
        Outcome outcome;
        outcome.selected = state_.tree.selected();
        return outcome;
    }
    history_.push({name, std::move(step), selectedBefore, keyOf(state_.tree.selected())});
    if (state_.tree.selected() != before || keyOf(state_.tree.selected()) != selectedBefore)
        return selectionOutcome(true);
    Outcome outcome;
    outcome.done = true;
    outcome.selected = state_.tree.selected();
    return outcome;
}

Outcome Editor::addGroup() {
    return edit("Add Group", [&] { return quillfen::addGroup(state_, ui_); });
}

Outcome Editor::addSet() {
    return edit("Add Set", [&] { return quillfen::addSet(state_, ui_); });
}

Outcome Editor::addSelectedLevels(const LevelFileList& files) {
    // The level's record could not hold the file's name: nothing of the selection is added.
    if (!files.storable) {
        ui_.message(kUnstorableText);
        return {};
    }
    return edit("Add Level(s)", [&] { return quillfen::addSelectedLevels(state_, ui_, files); });
}

Outcome Editor::deleteGroup() {
    return edit("Delete Group", [&] { return quillfen::deleteGroup(state_, ui_); });
}

Outcome Editor::deleteSet() {
    return edit("Delete Set", [&] { return quillfen::deleteSet(state_, ui_); });
}

Outcome Editor::deleteLevel() {
    return edit("Delete Level", [&] { return quillfen::deleteLevel(state_, ui_); });
}

Outcome Editor::deleteSelected() {
    const LevelTree::Node* node = state_.tree.selected();
    if (node && node->kind() == NodeKind::Group)
        return deleteGroup();
    if (node && node->kind() == NodeKind::Set)
        return deleteSet();
    return deleteLevel();
}

Outcome Editor::moveUp() {
    return edit("Move Up", [&] { return quillfen::moveUp(state_, ui_); });
}

Outcome Editor::moveDown() {
    return edit("Move Down", [&] { return quillfen::moveDown(state_, ui_); });
}

Outcome Editor::dropLevel(const LevelTree::Node* level, int row) {
    // A drop names the row before which it lands, counted with the level still in place; -1
    // is the set itself, its end.
    if (level && level->kind() == NodeKind::Level) {
        if (row > level->row())
            --row;
        if (row < 0)
            row = level->parent()->children() - 1;
    }
    return edit("Move Level", [&] { return quillfen::moveLevel(state_, ui_, level, row); });
}

Outcome Editor::dropLevelFiles(const LevelTree::Node* set, const std::vector<TextAnswer>& names) {
    state_.tree.select(set);
    LevelFileList files{
        levelFolder_, {}, std::vector<bool>(names.size(), true), names.empty() ? -1 : 0};
    for (const TextAnswer& name : names) {
        files.names.push_back(name.text);
        files.storable = files.storable && name.storable;
    }
    Outcome outcome = addSelectedLevels(files);
    outcome.selectionChanged = true;
    outcome.selected = state_.tree.selected();
    return outcome;
}

Outcome Editor::importLevelPack(const std::string& packPath, const std::string& hostFolder,
                                bool sequel) {
    // The group is asked for before the pack is read, as Add Set asks for it.
    if (!groupForNewSet(state_, ui_))
        return {};
    auto plan = levelfile::planImport(packPath, sequel, hostFolder);
    if (!plan) {
        ui_.message(plan.error());
        return {};
    }
    TextAnswer name = ui_.input("enter the name of the new set for the pack's levels",
                                kApplicationTitle, plan->setName);
    if (name.text.empty())
        return {};
    if (!name.storable || name.text.size() > nameLimit(NodeKind::Set)) {
        ui_.message(!name.storable ? std::string(kUnstorableText)
                                   : nameTooLong(nameLimit(NodeKind::Set)));
        return {};
    }
    if (!ui_.proceed(levelfile::importReport(*plan), window::kImportPackTitle, "Import"))
        return {};
    return edit(window::kImportPackTitle,
                [&] { return importPackAsSet(state_, ui_, *plan, name.text); });
}

Outcome Editor::importPackIntoSet(const levelfile::ImportPlan& plan) {
    return edit(window::kImportPackTitle, [&] { return importPack(state_, ui_, plan); });
}

Outcome Editor::updateFolder(const TextAnswer& folder) {
    return edit("Update Folder", [&] { return quillfen::updateFolder(state_, ui_, folder); });
}

Outcome Editor::updateFileName(const TextAnswer& fileName) {
    return edit("Update File Name",
                [&] { return quillfen::updateFileName(state_, ui_, fileName); });
}

Outcome Editor::rename(const LevelTree::Node* node, const TextAnswer& text) {
    return edit("Rename", [&] { return renameNode(state_, ui_, node, text); });
}

Outcome Editor::undo() {
    History::Step* step = history_.toUndo();
    if (step == nullptr) {
        ui_.message("there is nothing to undo");
        return {};
    }
    step->edit->undo(state_.tree);
    history_.undone();
    state_.tree.select(state_.tree.find(step->selectedBefore));
    return selectionOutcome(true);
}

Outcome Editor::redo() {
    History::Step* step = history_.toRedo();
    if (step == nullptr) {
        ui_.message("there is nothing to redo");
        return {};
    }
    step->edit->redo(state_.tree);
    history_.redone();
    state_.tree.select(state_.tree.find(step->selectedAfter));
    return selectionOutcome(true);
}

void Editor::info() {
    if (!profileLoaded(state_)) {
        ui_.message(kLoadFirst);
        return;
    }
    const LevelTree::Node* node = state_.tree.selected();
    if (node == nullptr) {
        ui_.message(kNoSelection);
        return;
    }
    ui_.message(std::string(node->text()) + " " + std::to_string(node->index()) + " " +
                node->key() + " - " + std::to_string(state_.tree.count()));
}

void Editor::saveLevelInfo(const TextAnswer& fileName, const std::array<std::string, 9>& counts) {
    if (!fileName.storable) {
        ui_.message(kUnstorableText);
        return;
    }
    levelfile::SaveLevelInfo(levelfile::levelFilePath(levelFolder_, fileName.text), counts, ui_);
}

void Editor::setStartupFolder(const TextAnswer& hostFolder) {
    if (!hostFolder.storable) {
        ui_.message(kUnstorableText);
        return;
    }
    Status written =
        settings::writeSettings(settings::kFileName, {hostFolder.text, state_.usersKeyPath});
    if (!written) {
        ui_.message(kSettingsNotWritten + written.error());
        return;
    }
    ui_.message("Startup folder has been set to '" + hostFolder.text + "'");
}

Outcome Editor::changeUsersKey() {
    TextAnswer key =
        ui_.input("enter the path to the lemmings profiles under the HKEY_LOCAL_MACHINE key", "key",
                  state_.usersKeyPath);
    if (key.text.empty())
        return {};
    if (!key.storable) {
        ui_.message(kUnstorableText);
        return {};
    }
    state_.usersKeyPath = key.text;
    Outcome outcome;
    outcome.done = true;
    outcome.profiles = LoadProfiles(*store_, state_.usersKeyPath, ui_);

    // A settings file gone missing meanwhile gives the default folder as its line 1.
    settings::Settings stored = settings::readSettings(settings::kFileName);
    stored.usersKeyPath = key.text;
    Status written = settings::writeSettings(settings::kFileName, stored);
    if (!written)
        ui_.message(kSettingsNotWritten + written.error());
    return outcome;
}

void Editor::help() {
    ui_.message("please read the included  readme.html  file if you need help");
}

} // namespace quillfen
