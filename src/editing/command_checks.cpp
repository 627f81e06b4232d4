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

} // namespace quillfen
