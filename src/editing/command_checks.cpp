#include "editing/command_checks.h"

#include "database/database_format.h"
#include "editing/editing_commands.h"

#include <algorithm>

namespace quillfen {

Result<const LevelTree::Node*> selectedOfKind(const EditorState& state, NodeKind kind,
                                              const char* wrongKind) {
    if (!profileLoaded(state))
        return Error{kLoadFirst};
    const LevelTree::Node* node = state.tree.selected();
    if (node == nullptr || node->kind() != kind)
        return Error{wrongKind};
    return node;
}

Result<const LevelTree::Node*> groupForNewSet(const EditorState& state) {
    auto group = selectedOfKind(state, NodeKind::Group, kSelectGroupForSet);
    if (group && (*group)->children() >= format::kMaxSetsInGroup)
        return Error{kGroupFull};
    return group;
}

AddedNodes::NewNode newSet(EditorState& state, const LevelTree::Node* group,
                           std::string_view name) {
    ++state.setCount;
    return {group->key(), NodeKind::Set, state.setCount, std::string(name), {}};
}

std::string unusedName(const EditorState& state, const LevelTree::Node* group,
                       std::string_view name) {
    std::vector<std::string_view> siblings;
    if (group == nullptr)
        for (const LevelTree::Node* node : state.tree.topLevel())
            siblings.push_back(node->text());
    else
        for (int row = 0; row < group->children(); ++row)
            siblings.push_back(group->child(row)->text());
    const std::size_t width = group ? format::kSetNameWidth : format::kGroupNameWidth;
    std::string candidate(name.substr(0, width));
    // A profile holds fewer nodes than there are numbers tried.
    for (int number = 2; number <= format::kMaxNodes + 1; ++number) {
        if (std::find(siblings.begin(), siblings.end(), candidate) == siblings.end())
            break;
        const std::string digits = std::to_string(number);
        candidate.assign(name.substr(0, width - 1 - digits.size())).append(1, ' ').append(digits);
    }
    return candidate;
}

EditStep addNodes(EditorState& state, std::vector<AddedNodes::NewNode> nodes) {
    auto step = std::make_unique<AddedNodes>(std::move(nodes));
    step->redo(state.tree);
    return step;
}

Status roomForNode(const EditorState& state) {
    static_assert(format::kMaxNodes == 3649, "kTreeFull names the limit");
    if (nodesThatFit(state) > 0)
        return success();
    return Error{kTreeFull};
}

std::size_t nodesThatFit(const EditorState& state) {
    return static_cast<std::size_t>(std::max(format::kMaxNodes - state.tree.count(), 0));
}

DetailPanel detailPanelFor(const EditorState& state) {
    DetailPanel panel;
    const LevelTree::Node* node = state.tree.selected();
    if (node && node->kind() == NodeKind::Group)
        panel.groupFolder = state.groupFolders(node->index());
    if (node && node->kind() == NodeKind::Level)
        panel.levelFile = state.levelFiles(node->index());
    return panel;
}

std::string panelHeading(const DetailPanel& panel) {
    if (panel.levelPath.empty())
        return {};
    std::string line = panel.title.empty() ? std::string() : panel.title + ": ";
    line += panel.missing.empty() ? panel.levelPath : panel.missing;
    if (!panel.alsoIn.empty())
        line.append(", ").append(panel.alsoIn);
    return line;
}

} // namespace quillfen
