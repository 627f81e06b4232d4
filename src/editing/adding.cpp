#include "database/database_format.h"
#include "editing/command_checks.h"
#include "editing/editing_commands.h"
#include "host/file_io.h"
#include "levelfile/level_file.h"

namespace quillfen {
namespace {

std::string joined(const std::vector<std::string>& names) {
    std::string out;
    for (const std::string& name : names)
        out += (out.empty() ? "" : ", ") + name;
    return out;
}

} // namespace

EditResult addGroup(EditorState& state, std::string_view name) {
    if (auto room = roomForNode(state); !room)
        return {nullptr, room.error()};
    ++state.groupCount;
    const LevelTree::Node* group = state.tree.add(nullptr, LevelTree::Relationship::Last,
                                                  NodeKind::Group, state.groupCount, name);
    return {std::make_unique<AddedNodes>(std::vector{group->key()}), {}};
}

EditResult setNewGroupFolder(EditorState& state, EditResult added, const TextAnswer& folder) {
    const LevelTree::Node* group = state.tree.topLevel().back();
    std::string refusal = folder.text.empty() ? std::string() : folderRefusal(folder);
    if (folder.text.empty() || !refusal.empty()) {
        // Its key stays issued: keys are never issued twice.
        state.tree.remove(group);
        return {nullptr, refusal};
    }
    state.tree.setGroupFolders(group->index(), folder.text);
    return added;
}

EditResult addSet(EditorState& state, std::string_view name) {
    auto group = groupForNewSet(state);
    if (!group)
        return {nullptr, group.error()};
    if (auto room = roomForNode(state); !room)
        return {nullptr, room.error()};
    const LevelTree::Node* set = addSetTo(state, *group, name);
    return {std::make_unique<AddedNodes>(std::vector{set->key()}), {}};
}

EditResult addSelectedLevels(EditorState& state, const std::string& folder,
                             const FileListSelection& files) {
    auto selected = selectedOfKind(state, NodeKind::Set, kSelectSetForLevels);
    if (!selected)
        return {nullptr, selected.error()};
    const LevelTree::Node* set = *selected;
    auto current = static_cast<std::size_t>(files.current);
    if (files.current < 0 || current >= files.names.size() || files.names[current].text.empty())
        return {nullptr, "you must first select the level you wish to add from above"};
    auto isSelected = [&](std::size_t i) { return i < files.selected.size() && files.selected[i]; };
    // A name the level's record cannot hold would name another file once saved: nothing of the
    // selection is added.
    for (std::size_t i = 0; i < files.names.size(); ++i) {
        if (!isSelected(i))
            continue;
        if (std::string refusal = fileNameRefusal(files.names[i]); !refusal.empty())
            return {nullptr, refusal};
    }

    std::vector<std::string> added;
    int leftOut = 0;
    std::vector<std::string> unreadable;
    std::vector<std::string> notLevels;
    std::string problems;
    for (std::size_t i = 0; i < files.names.size(); ++i) {
        if (!isSelected(i))
            continue;
        if (state.tree.count() >= format::kMaxNodes) {
            ++leftOut;
            continue;
        }
        const std::string& name = files.names[i].text;
        auto bytes =
            readWholeFile(levelfile::levelFilePath(folder, name), levelfile::kLargestLevelRead);
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
            state.tree.add(set, LevelTree::Relationship::Child, NodeKind::Level,
                           static_cast<std::uint32_t>(state.levelCount), read->title, name);
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
    EditStep step = added.empty() ? nullptr : std::make_unique<AddedNodes>(std::move(added));
    return {std::move(step), std::move(message)};
}

} // namespace quillfen
