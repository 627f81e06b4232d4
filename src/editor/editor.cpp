#include "editor/editor.h"

#include "common/windows1252.h"
#include "editing/command_checks.h"
#include "editor/window_menus.h"
#include "editor/window_texts.h"
#include "host/file_io.h"
#include "host/host_path.h"
#include "levelfile/level_file.h"
#include "profiles/game_folder.h"

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

// "Alice* - Quillfen Level Adder": the profile (or the opened file) first, so that a taskbar's
// cut keeps it.
std::string Editor::caption() const {
    std::string shown = !loaded_.name.empty()       ? loaded_.name
                        : !opened_.hostPath.empty() ? fileNameOf(opened_.hostPath)
                                                    : std::string();
    std::string mark = modified() ? "*" : "";
    if (shown.empty())
        return kApplicationTitle + mark;
    return shown + mark + " - " + kApplicationTitle;
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
                       : "profile '" + loaded_.name + "': " + loaded_.file.databasePath;
    shown.status += gameFolder_ ? " - game " + gameFolder_->windowsPath
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
    fileShown_ = false;
    panel_ = detailPanelFor(state_);
    const LevelTree::Node* node = state_.tree.selected();
    if (node == nullptr || node->kind() != NodeKind::Level)
        return panel_;
    std::string path = levelFileOf(node, &panel_.levelPath);
    panel_.title = windows1252ToUtf8(shownTitle(std::string(node->text())));
    panel_.alsoIn = alsoInSet(problems_, state_.tree, node->key());
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

bool Editor::leaveCounts(const std::optional<std::array<std::string, 9>>& boxes) {
    // Measured against the file as it is now: counts saved since ask nothing.
    if (!boxes || panel_.countsFile.empty() ||
        *boxes == levelfile::countTexts(panel_.countsFile, ""))
        return true;
    // A file of the folder list is named as the host spells it; the box holds it in the profile's
    // bytes, with '?' for a character that they lack.
    const std::string file =
        fileShown_ ? fileNameOf(panel_.countsFile) : windows1252ToUtf8(panel_.levelFile);
    switch (ui_.askToSave("Save the counts typed for '" + file + "'?")) {
    case SaveChoice::Save:
        return saveLevelInfoAt(panel_.countsFile, *boxes);
    case SaveChoice::Discard:
        return true;
    case SaveChoice::Cancel:
        break;
    }
    return false;
}

Outcome Editor::clickNode(const LevelTree::Node* node,
                          const std::optional<std::array<std::string, 9>>& boxes) {
    if ((node != state_.tree.selected() || fileShown_) && !leaveCounts(boxes)) {
        Outcome kept;
        kept.selected = state_.tree.selected();
        return kept;
    }
    state_.tree.select(node);
    Outcome outcome = selectionOutcome(true);
    outcome.selectionChanged = false; // the view shows it already
    return outcome;
}

Outcome Editor::clickFile(const std::string& name,
                          const std::optional<std::array<std::string, 9>>& boxes) {
    const std::string file = utf8ToWindows1252Lossy(name);
    if ((!fileShown_ || file != panel_.levelFile) && !leaveCounts(boxes)) {
        Outcome kept;
        kept.selected = state_.tree.selected();
        return kept;
    }
    fileShown_ = true;
    panel_ = {};
    panel_.levelFile = file;
    Outcome outcome;
    outcome.done = true;
    outcome.selected = state_.tree.selected();
    const std::string path = pathIn(levelFolder_, name);
    auto title = levelfile::readTitle(path);
    panel_.title = title ? windows1252ToUtf8(shownTitle(*title)) : name;
    outcome.panel = readCounts(path);
    return outcome;
}

std::string aboutText() {
    return std::string(kApplicationTitle) + " " + kVersion + "\n\n" + kAboutText;
}

bool Editor::tell(const std::string& text, bool done) {
    if (text.empty())
        return false;
    // A warning or an error stops the user in a box; what was done, or refused with nothing
    // lost, only shows in the status bar.
    if (text.find("WARNING") != std::string::npos || text.find("ERROR") != std::string::npos)
        ui_.message(text);
    else if (done)
        ui_.inform(text);
    else
        ui_.refuse(text);
    return true;
}

// Runs one editing command, tells the user what it says, and keeps what it changed as one step
// of the history. The panel follows the selection whenever the command moved it.
Outcome Editor::edit(const char* name, const std::function<EditResult()>& command) {
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

Outcome Editor::addGroup() {
    return addGroup({unusedName(state_, nullptr, kNewGroupName), true});
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

Outcome Editor::addSet() {
    auto group = groupForNewSet(state_);
    return addSet({group ? unusedName(state_, *group, kNewSetName) : kNewSetName, true});
}

Outcome Editor::addSet(const TextAnswer& name) {
    if (tell(nameRefusal(NodeKind::Set, name)))
        return {};
    return edit("Add Set", [&] { return quillfen::addSet(state_, name.text); });
}

// The checks, then the question (a level goes unasked), then the removal.
Outcome Editor::deleteOfKind(NodeKind kind, const char* name) {
    auto node = nodeToDelete(state_, kind);
    if (!node) {
        tell(node.error());
        return {};
    }
    std::string question = deleteQuestion(*node);
    if (!question.empty() && !ui_.proceed(question, "Confirm Delete", "Delete"))
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
        ui_.refuse("there is nothing to undo");
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
        ui_.refuse("there is nothing to redo");
        return {};
    }
    // The add's files go back into the group's folder first: a refused copy redoes nothing.
    if (Status copied = step->copyAgain(); !copied) {
        ui_.message(copied.error());
        return {};
    }
    step->edit->redo(state_.tree);
    history_.redone();
    state_.tree.select(state_.tree.find(step->selectedAfter));
    recheck();
    return selectionOutcome(true);
}

void Editor::properties() {
    if (!profileLoaded(state_)) {
        ui_.refuse(kLoadFirst);
        return;
    }
    const LevelTree::Node* node = state_.tree.selected();
    if (node == nullptr) {
        ui_.refuse(kNoSelection);
        return;
    }
    auto quoted = [](const LevelTree::Node* n) {
        std::string text(1, '\'');
        text.append(windows1252ToUtf8(n->text())).push_back('\'');
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
                 "Level folder: " + windows1252ToUtf8(state_.groupFolders(node->index())),
                 "Group " + place(node, state_.tree.topLevel().size()) + ", with " +
                     std::to_string(node->children()) + " set(s)"};
        break;
    case NodeKind::Set:
        lines = {"Set " + quoted(node), "In group " + quoted(parent) + ", set " +
                                            place(node, parent->children()) + ", with " +
                                            std::to_string(node->children()) + " level(s)"};
        break;
    case NodeKind::Level:
        lines = {"Level " + quoted(node),
                 "File: " + windows1252ToUtf8(state_.levelFiles(node->index())),
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
