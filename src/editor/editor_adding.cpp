// Adding levels: the files copied into their group's folder of the game, and Import Level Pack.
#include "common/windows1252.h"
#include "editing/command_checks.h"
#include "editing/importing.h"
#include "editor/editor.h"
#include "editor/window_texts.h"
#include "host/file_io.h"
#include "host/file_write.h"
#include "host/host_path.h"
#include "levelfile/level_file.h"
#include "profiles/game_folder.h"

#include <algorithm>
#include <utility>

namespace quillfen {
namespace {

// A group's folder that an add made: removed again once empty, unless the add's step keeps it.
struct MadeFolder {
    std::string path;
    ~MadeFolder() {
        if (!path.empty())
            (void)removeEmptyFolder(path);
    }
};

} // namespace

Outcome Editor::addSelectedLevels(const FileListSelection& files) {
    auto names = levelsToAdd(state_, files);
    if (!names) {
        tell(names.error());
        return {};
    }
    std::vector<LevelFileRead> levels;
    std::vector<levelfile::PlannedLevel> toCopy;
    // Only the levels that the profile still has room for are added, and copied.
    const std::size_t room = nodesThatFit(state_);
    for (const std::string& name : *names) {
        auto bytes = readWholeFile(levelfile::levelFilePath(levelFolder_, name),
                                   levelfile::kLargestLevelRead);
        levels.push_back(
            {name, bytes.ok(), bytes ? levelfile::readLevelBytes(*bytes) : Error{bytes.error()}});
        if (levels.back().info && toCopy.size() < room)
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
    MadeFolder made;
    if (!copies->levels.empty()) {
        // The copies are written before the levels are added: a failed write adds nothing.
        Status folder = makeGroupFolder(copies->folder, made.path);
        auto done = folder ? levelfile::writeImport(*copies) : Error{folder.error()};
        if (!done) {
            tell(done.error());
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
    step->madeFolder = std::exchange(made.path, {});
    return outcome;
}

Result<levelfile::ImportPlan> Editor::planLevelCopies(std::vector<levelfile::PlannedLevel> levels,
                                                      std::string& said) {
    const std::optional<GameFolder>& game = gameFolder();
    const LevelTree::Node* set = state_.tree.selected();
    if (!game || levels.empty() || set == nullptr)
        return levelfile::ImportPlan{};
    const std::string folderText(state_.groupFolders(set->parent()->index()));
    const std::string folder = groupFolderHostPath(*game, folderText);
    std::vector<std::string> names;
    for (const levelfile::PlannedLevel& level : levels)
        names.push_back(level.fileName);
    levelfile::ImportPlan plan = levelfile::planCopies(std::move(levels), folder);
    // The folder as the game names it: the Windows path without its last "\NAME".
    std::string shownFolder = levelFileWindowsPath(*game, folderText, names.front());
    shownFolder.erase(std::min(shownFolder.rfind('\\'), shownFolder.size()));
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (plan.levels[i].fileName == names[i])
            continue;
        const std::string name = windows1252ToUtf8(names[i]);
        const std::string freeName = windows1252ToUtf8(plan.levels[i].fileName);
        const std::string clash =
            name + " in " + shownFolder + " holds another level, which an add never replaces";
        if (!ui_.proceed(clash + ". Add '" + windows1252ToUtf8(plan.levels[i].info.title) +
                             "' as " + freeName + "?",
                         kApplicationTitle, "Add as " + freeName))
            return Error{""};
        said += "\n" + name + " was added as " + freeName + ": " + clash;
    }
    return plan;
}

void Editor::takeBackCopies(History::Step& step) {
    for (const std::string& path : step.takeBackCopies())
        ui_.message("WARNING: " + path +
                    " was left in place: another add took it up, or it changed, since it was "
                    "copied");
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
    MadeFolder made;
    if (const std::optional<GameFolder>& game = gameFolder(); game && group) {
        folder = groupFolderHostPath(*game, std::string(state_.groupFolders(group->index())));
        if (Status madeNow = makeGroupFolder(folder, made.path); !madeNow) {
            ui_.message(madeNow.error());
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
                                    kApplicationTitle, unusedName(state_, group, plan->setName));
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
        // The same pack into the same group again would only add a second set of the same levels.
        const LevelTree::Node* before = replace ? nullptr : setImportedBefore(state_, *plan, group);
        std::string question;
        if (before)
            question.append(1, '\'')
                .append(windows1252ToUtf8(before->text()))
                .append("' of this group holds the pack's levels already, from the same files. "
                        "Import them again as another set?\n\n");
        question += report;
        const char* accept = before ? "Import Again" : "Import";
        if (!ui_.proceed(question, window::kImportPackTitle, replace ? "Replace" : accept,
                         !replace && !before))
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
    // The files go and come with the step, whether they went into the group's folder of the
    // game or, while that is not known, into the folder picked.
    if (outcome.done) {
        History::Step* step = history_.toUndo();
        // A redo replaces again what the import replaced.
        step->copies = lastImport_;
        step->copied = std::move(*written);
        step->madeFolder = std::exchange(made.path, {});
    }
    return outcome;
}

void Editor::takeBackImports() {
    // The adds' copies too: a failed run leaves the game's folders as they were.
    for (History::Step& step : history_.doneSteps())
        takeBackCopies(step);
    for (const std::string& path : levelfile::takeBack(imported_))
        ui_.message("WARNING: " + path +
                    " was left in place: another import took it up, or it changed, since this "
                    "run wrote it");
    imported_.clear();
}

} // namespace quillfen
