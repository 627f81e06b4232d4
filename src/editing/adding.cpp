#include "command_checks.h"
#include "database/database_format.h"
#include "editing/editing_commands.h"
#include "host/file_io.h"
#include "levelfile/level_file.h"

namespace quillfen {
namespace {

constexpr char kFolderPrompt[] =
    "enter the folder name in which levels in this group can be found (e.g. ORIG, OHNO, CUST, "
    "etc..)";

std::string joined(const std::vector<std::string>& names) {
    std::string out;
    for (const std::string& name : names)
        out += (out.empty() ? "" : ", ") + name;
    return out;
}

} // namespace

EditStep addGroup(EditorState& state, UserInterface& ui, std::string_view name) {
    if (!roomForNode(state, ui))
        return nullptr;
    ++state.groupCount;
    const LevelTree::Node* group = state.tree.add(nullptr, LevelTree::Relationship::Last,
                                                  "root" + std::to_string(state.groupCount), name);
    // The group already stands in the tree while its folder is asked for; Cancel or a text that
    // cannot be stored leaves it with the empty folder.
    TextAnswer folder = ui.input(kFolderPrompt, kApplicationTitle, "");
    if (!folder.storable)
        ui.message(kUnstorableText);
    else if (folder.text.size() > format::kFolderWidth)
        ui.message(folderTooLong());
    else
        state.tree.setGroupFolders(group->index(), std::move(folder.text));
    return std::make_unique<AddedNodes>(std::vector{group->key()});
}

EditStep addSet(EditorState& state, UserInterface& ui, std::string_view name) {
    const LevelTree::Node* group = groupForNewSet(state, ui);
    if (group == nullptr || !roomForNode(state, ui))
        return nullptr;
    const LevelTree::Node* set = addSetTo(state, group, name);
    return std::make_unique<AddedNodes>(std::vector{set->key()});
}

EditStep addSelectedLevels(EditorState& state, UserInterface& ui, const LevelFileList& files) {
    const LevelTree::Node* set = selectedOfKind(state, ui, NodeKind::Set, kSelectSetForLevels);
    if (set == nullptr)
        return nullptr;
    auto current = static_cast<std::size_t>(files.current);
    if (files.current < 0 || current >= files.names.size() || files.names[current].empty()) {
        ui.message("you must first select the level you wish to add from above");
        return nullptr;
    }

    std::vector<std::string> added;
    int leftOut = 0;
    std::vector<std::string> unreadable;
    std::vector<std::string> notLevels;
    std::string problems;
    for (std::size_t i = 0; i < files.names.size(); ++i) {
        if (i >= files.selected.size() || !files.selected[i])
            continue;
        if (state.tree.count() >= format::kMaxNodes) {
            ++leftOut;
            continue;
        }
        const std::string& name = files.names[i];
        auto bytes = readWholeFile(levelfile::levelFilePath(files.folder, name),
                                   levelfile::kLargestLevelRead);
        if (!bytes) {
            unreadable.push_back(name);
            continue;
        }
        auto read = levelfile::readLevelBytes(*bytes);
        if (!read) {
            notLevels.push_back(name);
            continue;
        }
        // What a player should know about a level is said, but the level is added.
        for (const std::string& problem : read->problems)
            problems += "\nWARNING: " + name + ": " + problem;
        ++state.levelCount;
        const LevelTree::Node* level =
            state.tree.add(set, LevelTree::Relationship::Child,
                           "level" + std::to_string(state.levelCount), std::move(read->title));
        state.tree.setLevelFiles(level->index(), name);
        added.push_back(level->key());
    }

    std::string message =
        std::to_string(added.size()) + " level(s) added to '" + std::string(set->text()) + "'";
    if (!unreadable.empty())
        message += "\nWARNING: could not read " + joined(unreadable);
    if (!notLevels.empty())
        message += "\nWARNING: not Windows Lemmings level files: " + joined(notLevels);
    message += problems;
    if (leftOut > 0)
        message += "\n" + std::string(kTreeFull) + "; " + std::to_string(leftOut) +
                   " level(s) could not be added";
    ui.message(message);
    return added.empty() ? nullptr : std::make_unique<AddedNodes>(std::move(added));
}

} // namespace quillfen
