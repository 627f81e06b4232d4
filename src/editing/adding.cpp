#include "common/windows1252.h"
#include "database/database_format.h"
#include "editing/command_checks.h"
#include "editing/editing_commands.h"

namespace quillfen {
namespace {

// Level files' names (Windows-1252, as the profile keeps them) in a message.
std::string joined(const std::vector<std::string>& names) {
    std::string out;
    for (const std::string& name : names)
        out += (out.empty() ? "" : ", ") + windows1252ToUtf8(name);
    return out;
}

} // namespace

EditResult addGroup(EditorState& state, std::string_view name, const TextAnswer& folder) {
    if (std::string refusal = folderRefusal(folder); !refusal.empty())
        return {nullptr, refusal};
    if (auto room = roomForNode(state); !room)
        return {nullptr, room.error()};
    ++state.groupCount;
    return {
        addNodes(state, {{{}, NodeKind::Group, state.groupCount, std::string(name), folder.text}}),
        {}};
}

EditResult addSet(EditorState& state, std::string_view name) {
    auto group = groupForNewSet(state);
    if (!group)
        return {nullptr, group.error()};
    if (auto room = roomForNode(state); !room)
        return {nullptr, room.error()};
    return {addNodes(state, {newSet(state, *group, name)}), {}};
}

Result<std::vector<std::string>> levelsToAdd(const EditorState& state,
                                             const FileListSelection& files) {
    auto set = selectedOfKind(state, NodeKind::Set, kSelectSetForLevels);
    if (!set)
        return Error{set.error()};
    auto current = static_cast<std::size_t>(files.current);
    if (files.current < 0 || current >= files.names.size() || files.names[current].text.empty())
        return Error{"you must first select the level you wish to add from above"};
    // A name the level's record cannot hold would name another file once saved: nothing of the
    // selection is added.
    std::vector<std::string> names;
    for (std::size_t i = 0; i < files.names.size(); ++i) {
        if (i >= files.selected.size() || !files.selected[i])
            continue;
        if (std::string refusal = fileNameRefusal(files.names[i]); !refusal.empty())
            return Error{refusal};
        names.push_back(files.names[i].text);
    }
    return names;
}

EditResult addLevels(EditorState& state, const std::vector<LevelFileRead>& levels) {
    const LevelTree::Node* set = state.tree.selected();
    std::vector<AddedNodes::NewNode> nodes;
    int leftOut = 0;
    std::vector<std::string> unreadable;
    std::vector<std::string> notLevels;
    std::string problems;
    for (const LevelFileRead& level : levels) {
        if (state.tree.count() + static_cast<int>(nodes.size()) >= format::kMaxNodes) {
            ++leftOut;
            continue;
        }
        if (!level.readable) {
            unreadable.push_back(level.fileName);
            continue;
        }
        if (!level.info) {
            notLevels.push_back(level.fileName);
            continue;
        }
        // What a player should know about a level is said, but the level is added.
        for (const std::string& problem : level.info->problems)
            problems += "\nWARNING: " + windows1252ToUtf8(level.fileName) + ": " + problem;
        ++state.levelCount;
        nodes.push_back({set->key(), NodeKind::Level, static_cast<std::uint32_t>(state.levelCount),
                         level.info->title, level.fileName});
    }

    std::string message = std::to_string(nodes.size()) + " level(s) added to '" +
                          windows1252ToUtf8(set->text()) + "'";
    if (!unreadable.empty())
        message += "\nWARNING: could not read " + joined(unreadable);
    if (!notLevels.empty())
        message += "\nWARNING: not Windows Lemmings level files: " + joined(notLevels);
    message += problems;
    if (leftOut > 0)
        message += "\n" + std::string(kTreeFull) + "; " + std::to_string(leftOut) +
                   " level(s) could not be added";
    EditStep step = nodes.empty() ? nullptr : addNodes(state, std::move(nodes));
    return {std::move(step), std::move(message)};
}

} // namespace quillfen
