#include "editor/editor.h"

#include "common/windows1252.h"
#include "editing/command_checks.h"
#include "editing/importing.h"
#include "editor/window_menus.h"
#include "editor/window_texts.h"
#include "host/file_io.h"
#include "host/file_write.h"
#include "host/host_path.h"
#include "levelfile/level_file.h"
#include "profiles/game_folder.h"

#include <algorithm>

namespace quillfen {
namespace {

constexpr char kNoSelection[] = "you must first select a node";
constexpr char kFolderPrompt[] =
    "enter the folder name in which levels in this group can be found (e.g. ORIG, OHNO, CUST, "
    "etc..)";

std::string keyOf(const LevelTree::Node* node) {
    return node ? node->key() : std::string();
}

} // namespace

Editor::Editor(ProfileStore& store, UserInterface& ui) : store_(&store), ui_(ui) {}

std::string Editor::caption() const {
    return std::string(kCaption) + (modified() ? " *" : "");
}

DocumentState Editor::documentState() const {
    DocumentState shown;
    shown.caption = caption();
    std::string undo = history_.undoName(), redo = history_.redoName();
    shown.canUndo = !undo.empty();
    shown.canRedo = !redo.empty();
    shown.undoText = shown.canUndo ? "Undo " + undo : window::kUndo;
    shown.redoText = shown.canRedo ? "Redo " + redo : window::kRedo;
    shown.status = loaded_.name.empty()
                       ? std::string("no profile loaded")
                       : "profile '" + utf8ToWindows1252Lossy(loaded_.name) +
                             "': " + utf8ToWindows1252Lossy(loaded_.file.databasePath);
    shown.status += gameFolder_ ? " - game " + utf8ToWindows1252Lossy(gameFolder_->windowsPath)
                                : std::string(" - game folder not found: choose it with ") +
                                      window::kOptionsMenu + " > " + window::kGameFolder;
    if (std::string count = problemCountText(problems_); !count.empty())
        shown.status += " - " + count;
    if (modified())
        shown.status += " - modified";
    return shown;
}

Outcome Editor::selectionOutcome(bool done) {
    Outcome outcome;
    outcome.done = done;
    outcome.selectionChanged = true;
    outcome.selected = state_.tree.selected();
    outcome.panel = readPanel();
    return outcome;
}

DetailPanel Editor::readPanel() {
    panel_ = detailPanelFor(state_);
    const LevelTree::Node* node = state_.tree.selected();
    if (node == nullptr || node->kind() != NodeKind::Level)
        return panel_;
    std::string path = levelFileOf(node, &panel_.levelPath);
    return readCounts(path);
}

DetailPanel Editor::readCounts(const std::string& path) {
    if (panel_.levelPath.empty())
        panel_.levelPath = path;
    // Kept before the counts are read: a change in between refuses the save, never hides.
    auto read = readState(path, levelfile::kLargestLevelRead);
    if (!read || !levelfile::readCounts(path)) {
        auto there = pathInfo(path);
        bool missing = there && there->kind == EntryKind::Missing;
        panel_.missing = (missing ? "cannot find the level file " : "cannot read the level file ") +
                         panel_.levelPath;
        return panel_;
    }
    countsRead_ = {path, std::move(*read)};
    // A count the file does not hold is shown empty.
    panel_.counts = levelfile::countTexts(path, "");
    panel_.countsFile = path;
    return panel_;
}

std::string Editor::levelFileOf(const LevelTree::Node* level, std::string* shown) const {
    const std::string file(state_.levelFiles(level->index()));
    const std::optional<GameFolder>& game = gameFolder();
    if (!game) {
        std::string path = levelfile::levelFilePath(levelFolder_, file);
        if (shown)
            *shown = path;
        return path;
    }
    const std::string folder(state_.groupFolders(level->parent()->parent()->index()));
    if (shown)
        *shown = levelFileWindowsPath(*game, folder, file);
    return levelFileHostPath(*game, folder, file);
}

Outcome Editor::clickNode(const LevelTree::Node* node) {
    state_.tree.select(node);
    Outcome outcome = selectionOutcome(true);
    outcome.selectionChanged = false; // the view shows it already
    return outcome;
}

Outcome Editor::clickFile(const std::string& name) {
    panel_ = {};
    panel_.levelFile = utf8ToWindows1252Lossy(name);
    Outcome outcome;
    outcome.done = true;
    outcome.selected = state_.tree.selected();
    outcome.panel = readCounts(pathIn(levelFolder_, name));
    return outcome;
}

std::string aboutText() {
    return std::string(kApplicationTitle) + " " + kVersion + "\n\n" + kAboutText;
}

bool Editor::tell(const std::string& text, bool done) {
    if (text.empty())
        return false;
    if (done && text.find("WARNING") == std::string::npos &&
        text.find("ERROR") == std::string::npos)
        ui_.inform(text);
    else
        ui_.message(text);
    return true;
}

// Runs one editing command, tells the user what it says, and keeps what it changed as one step
// of the history. The panel follows the selection whenever the command moved it.
template <class Command> Outcome Editor::edit(const char* name, Command command) {
    const LevelTree::Node* before = state_.tree.selected();
    std::string selectedBefore = keyOf(before);
    EditResult result = command();
    tell(result.message, result.step != nullptr);
    if (!result.step) {
        Outcome outcome;
        outcome.selected = state_.tree.selected();
        return outcome;
    }
    history_.push({name, std::move(result.step), selectedBefore, keyOf(state_.tree.selected())});
    recheck();
    if (state_.tree.selected() != before || keyOf(state_.tree.selected()) != selectedBefore)
        return selectionOutcome(true);
    Outcome outcome;
    outcome.done = true;
    outcome.selected = state_.tree.selected();
    return outcome;
}

Outcome Editor::addGroup(const TextAnswer& name) {
    if (tell(nameRefusal(NodeKind::Group, name)))
        return {};
    if (auto room = roomForNode(state_); !room) {
        tell(room.error());
        return {};
    }
    // Cancel gives the empty folder, and no group.
    // The game's own folders are offered, so that a group's levels go where the game looks.
    std::string offered = gameFolder_ ? groupFoldersOffered(*gameFolder_) : "";
    std::string prompt = kFolderPrompt;
    if (!offered.empty())
        prompt.append("\n\nThe game's LEVEL folder holds: ").append(offered);
    TextAnswer folder = ui_.input(prompt, kApplicationTitle, "");
    if (folder.text.empty())
        return {};
    return edit("Add Group", [&] { return quillfen::addGroup(state_, name.text, folder); });
}

Outcome Editor::addSet(const TextAnswer& name) {
    if (tell(nameRefusal(NodeKind::Set, name)))
        return {};
    return edit("Add Set", [&] { return quillfen::addSet(state_, name.text); });
}

Outcome Editor::addSelectedLevels(const FileListSelection& files) {
    auto names = levelsToAdd(state_, files);
    if (!names) {
        tell(names.error());
        return {};
    }
    std::vector<LevelFileRead> levels;
    std::vector<levelfile::PlannedLevel> toCopy;
    for (const std::string& name : *names) {
        auto bytes = readWholeFile(levelfile::levelFilePath(levelFolder_, name),
                                   levelfile::kLargestLevelRead);
        levels.push_back(
            {name, bytes.ok(), bytes ? levelfile::readLevelBytes(*bytes) : Error{bytes.error()}});
        if (levels.back().info)
            toCopy.push_back({0, name, std::move(*bytes), *levels.back().info});
    }
    std::string said;
    auto copies = planLevelCopies(std::move(toCopy), said);
    if (!copies) {
        tell(copies.error());
        return {};
    }
    // Each level names the file it has in its group's folder.
    auto copy = copies->levels.begin();
    for (LevelFileRead& level : levels)
        if (level.info && copy != copies->levels.end())
            level.fileName = (copy++)->fileName;
    std::vector<levelfile::WrittenLevel> written;
    if (!copies->levels.empty()) {
        // The copies are written before the levels are added: a failed write adds nothing.
        Status folder = isFolder(copies->folder) ? success() : createFolder(copies->folder);
        auto done = folder ? levelfile::writeImport(*copies) : Error{folder.error()};
        if (!done) {
            tell(folder ? done.error()
                        : "ERROR: cannot make the folder " +
                              utf8ToWindows1252Lossy(copies->folder) + ": " + done.error());
            return {};
        }
        written = std::move(*done);
    }
    Outcome outcome = edit("Add Level(s)", [&] {
        EditResult result = addLevels(state_, levels);
        result.message += said;
        return result;
    });
    if (!outcome.done) {
        (void)levelfile::takeBack(written);
        return outcome;
    }
    History::Step* step = history_.toUndo();
    step->copies = std::move(*copies);
    step->copied = std::move(written);
    return outcome;
}

Result<levelfile::ImportPlan> Editor::planLevelCopies(std::vector<levelfile::PlannedLevel> levels,
                                                      std::string& said) {
    const std::optional<GameFolder>& game = gameFolder();
    const LevelTree::Node* set = state_.tree.selected();
    if (!game || levels.empty() || set == nullptr)
        return levelfile::ImportPlan{};
    const std::string folderText(state_.groupFolders(set->parent()->index()));
    const std::string folder =
        folderOf(levelFileHostPath(*game, folderText, levels.front().fileName));
    std::vector<std::string> names;
    for (const levelfile::PlannedLevel& level : levels)
        names.push_back(level.fileName);
    levelfile::ImportPlan plan = levelfile::planCopies(std::move(levels), folder);
    // The folder as the game names it: the Windows path without its last "\NAME".
    std::string shownFolder =
        utf8ToWindows1252Lossy(levelFileWindowsPath(*game, folderText, names.front()));
    shownFolder.erase(std::min(shownFolder.rfind('\\'), shownFolder.size()));
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string& freeName = plan.levels[i].fileName;
        if (freeName == names[i])
            continue;
        const std::string clash =
            names[i] + " in " + shownFolder + " holds another level, which an add never replaces";
        if (!ui_.proceed(clash + ". Add '" + plan.levels[i].info.title + "' as " + freeName + "?",
                         kApplicationTitle, "Add as " + freeName))
            return Error{""};
        said += "\n" + names[i] + " was added as " + freeName + ": " + clash;
    }
    return plan;
}

void Editor::takeBackCopies(History::Step& step) {
    for (const std::string& path : levelfile::takeBack(step.copied))
        ui_.message("WARNING: " + utf8ToWindows1252Lossy(path) +
                    " was left in place: another add took it up, or it changed, since it was "
                    "copied");
    step.copied.clear();
}

// The checks, then the question (a level goes unasked), then the removal.
Outcome Editor::deleteOfKind(NodeKind kind, const char* name) {
    auto node = nodeToDelete(state_, kind);
    if (!node) {
        tell(node.error());
        return {};
    }
    std::string question = deleteQuestion(*node);
    if (!question.empty() && !ui_.proceed(question, "confirm", "Delete"))
        return {};
    return edit(name, [&]() -> EditResult { return {deleteNode(state_, *node), {}}; });
}

Outcome Editor::deleteGroup() {
    return deleteOfKind(NodeKind::Group, "Delete Group");
}

Outcome Editor::deleteSet() {
    return deleteOfKind(NodeKind::Set, "Delete Set");
}

Outcome Editor::deleteLevel() {
    return deleteOfKind(NodeKind::Level, "Delete Level");
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
    return edit("Move Up", [&] { return quillfen::moveUp(state_); });
}

Outcome Editor::moveDown() {
    return edit("Move Down", [&] { return quillfen::moveDown(state_); });
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
    return edit("Move Level", [&] { return moveLevel(state_, level, row); });
}

Outcome Editor::dropLevelFiles(const LevelTree::Node* set, const std::vector<std::string>& paths) {
    if (set == nullptr || paths.empty())
        return {};
    std::optional<std::string> moved;
    if (std::string folder = folderOf(paths.front()); folder != levelFolder_) {
        openFolder(folder);
        moved = folder;
    }
    state_.tree.select(set);
    FileListSelection files;
    for (const std::string& path : paths) {
        if (folderOf(path) != levelFolder_)
            continue;
        std::string name = fileNameOf(path);
        std::optional<std::string> bytes = utf8ToWindows1252(name);
        files.names.push_back({bytes.value_or(name), bytes.has_value()});
        files.selected.push_back(true);
    }
    files.current = files.names.empty() ? -1 : 0;
    Outcome outcome = selectionOutcome(addSelectedLevels(files).done);
    outcome.levelFolder = moved;
    return outcome;
}

Outcome Editor::importLevelPack(const std::string& packPath, const std::string& hostFolder,
                                bool sequel, ImportInto into) {
    const bool newSet = into == ImportInto::NewSet;
    const LevelTree::Node* group = nullptr;
    // The group is asked for before the pack is read, as Add Set asks for it.
    if (newSet) {
        auto found = groupForNewSet(state_);
        if (!found) {
            ui_.message(found.error());
            return {};
        }
        group = *found;
    } else if (const LevelTree::Node* set = state_.tree.selected();
               into == ImportInto::SelectedSet && set && set->kind() == NodeKind::Set) {
        group = set->parent();
    }
    // The levels go where the game looks for them: their group's folder of the game.
    std::string folder = hostFolder;
    if (const std::optional<GameFolder>& game = gameFolder(); game && group) {
        folder = folderOf(
            levelFileHostPath(*game, std::string(state_.groupFolders(group->index())), "x"));
        if (Status made = isFolder(folder) ? success() : createFolder(folder); !made) {
            ui_.message("ERROR: cannot make the folder " + utf8ToWindows1252Lossy(folder) + ": " +
                        made.error());
            return {};
        }
    }
    auto plan = levelfile::planImport(packPath, sequel, folder);
    if (!plan) {
        ui_.message(plan.error());
        return {};
    }
    Result<const LevelTree::Node*> target = static_cast<const LevelTree::Node*>(nullptr);
    if (into != ImportInto::FolderOnly)
        target = importTarget(state_, *plan, newSet);
    if (!target) {
        tell(target.error());
        return {};
    }
    const std::string report = levelfile::importReport(*plan);
    auto onConflict = levelfile::OnConflict::Refuse;
    std::string setName;
    if (newSet) {
        TextAnswer name = ui_.input("enter the name of the new set for the pack's levels",
                                    kApplicationTitle, plan->setName);
        if (name.text.empty() || tell(nameRefusal(NodeKind::Set, name)))
            return {};
        setName = name.text;
        // Files of the pack's names that hold other levels are replaced only when the user says
        // so, Cancel being the default then; a button that could only fail is never offered.
        bool link = std::any_of(plan->levels.begin(), plan->levels.end(),
                                [](const levelfile::PlannedLevel& level) { return level.link; });
        if (link) {
            ui_.message(report);
            return {};
        }
        const bool replace = !plan->conflicts.empty();
        if (!ui_.proceed(report, window::kImportPackTitle, replace ? "Replace" : "Import",
                         !replace))
            return {};
        if (replace)
            onConflict = levelfile::OnConflict::Replace;
    } else if (into == ImportInto::SelectedSet) {
        ui_.message(report);
    }
    // The level files are written before the levels are added: a refused or failed write adds
    // nothing.
    auto written = levelfile::writeImport(*plan, onConflict);
    if (!written) {
        tell(written.error());
        return {};
    }
    imported_.insert(imported_.end(), written->begin(), written->end());
    lastImport_ = std::move(*plan);
    if (into == ImportInto::FolderOnly) {
        Outcome outcome;
        outcome.done = true;
        return outcome;
    }
    Outcome outcome = edit(window::kImportPackTitle,
                           [&] { return addImported(state_, lastImport_, *target, setName); });
    // Written into the group's folder of the game, the files go and come with the step.
    if (outcome.done && folder != hostFolder) {
        History::Step* step = history_.toUndo();
        step->copies = lastImport_;
        step->copies.conflicts.clear(); // settled: a redo writes what the import wrote
        step->copied = std::move(*written);
    }
    return outcome;
}

void Editor::takeBackImports() {
    // The adds' copies too: a failed run leaves the game's folders as they were.
    for (History::Step& step : history_.doneSteps())
        takeBackCopies(step);
    for (const std::string& path : levelfile::takeBack(imported_))
        ui_.message("WARNING: " + utf8ToWindows1252Lossy(path) +
                    " was left in place: another import took it up, or it changed, since this "
                    "run wrote it");
    imported_.clear();
}

Outcome Editor::updateFolder(const TextAnswer& folder) {
    return edit("Update Folder", [&] { return quillfen::updateFolder(state_, folder); });
}

Outcome Editor::updateFileName(const TextAnswer& fileName) {
    Outcome outcome =
        edit("Update File Name", [&] { return quillfen::updateFileName(state_, fileName); });
    // The counts shown are now those of the file the level names.
    if (outcome.done)
        outcome.panel = readPanel();
    return outcome;
}

Outcome Editor::rename(const LevelTree::Node* node, const TextAnswer& text) {
    return edit("Rename", [&] { return renameNode(state_, node, text); });
}

Outcome Editor::undo() {
    History::Step* step = history_.toUndo();
    if (step == nullptr) {
        ui_.message("there is nothing to undo");
        return {};
    }
    step->edit->undo(state_.tree);
    takeBackCopies(*step);
    history_.undone();
    state_.tree.select(state_.tree.find(step->selectedBefore));
    recheck();
    return selectionOutcome(true);
}

Outcome Editor::redo() {
    History::Step* step = history_.toRedo();
    if (step == nullptr) {
        ui_.message("there is nothing to redo");
        return {};
    }
    // The add's files go back into the group's folder first: a refused copy redoes nothing.
    if (!step->copies.levels.empty()) {
        auto written = levelfile::writeImport(step->copies);
        if (!written) {
            ui_.message(written.error());
            return {};
        }
        step->copied = std::move(*written);
    }
    step->edit->redo(state_.tree);
    history_.redone();
    state_.tree.select(state_.tree.find(step->selectedAfter));
    recheck();
    return selectionOutcome(true);
}

void Editor::properties() {
    if (!profileLoaded(state_)) {
        ui_.message(kLoadFirst);
        return;
    }
    const LevelTree::Node* node = state_.tree.selected();
    if (node == nullptr) {
        ui_.message(kNoSelection);
        return;
    }
    auto quoted = [](const LevelTree::Node* n) {
        std::string text(1, '\'');
        text.append(n->text()).push_back('\'');
        return text;
    };
    auto place = [](const LevelTree::Node* n, std::size_t of) {
        return std::to_string(n->row() + 1) + " of " + std::to_string(of);
    };
    const LevelTree::Node* parent = node->parent();
    std::vector<std::string> lines;
    switch (node->kind()) {
    case NodeKind::Group:
        lines = {"Group " + quoted(node),
                 "Level folder: " + std::string(state_.groupFolders(node->index())),
                 "Group " + place(node, state_.tree.topLevel().size()) + ", with " +
                     std::to_string(node->children()) + " set(s)"};
        break;
    case NodeKind::Set:
        lines = {"Set " + quoted(node), "In group " + quoted(parent) + ", set " +
                                            place(node, parent->children()) + ", with " +
                                            std::to_string(node->children()) + " level(s)"};
        break;
    case NodeKind::Level:
        lines = {"Level " + quoted(node), "File: " + std::string(state_.levelFiles(node->index())),
                 "In set " + quoted(parent) + " of group " + quoted(parent->parent()) + ", level " +
                     place(node, parent->children())};
        break;
    }
    std::string text;
    for (const std::string& line : lines)
        text += (text.empty() ? "" : "\n") + line;
    ui_.message(text);
}

} // namespace quillfen
