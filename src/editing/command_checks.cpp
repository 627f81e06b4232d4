#include "command_checks.h"
#include "database/database_format.h"
#include "editing/editing_commands.h"
#include "levelfile/level_file.h"

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

const LevelTree::Node* addSetTo(EditorState& state, const LevelTree::Node* group,
                                std::string_view name) {
    ++state.setCount;
    return state.tree.add(group, LevelTree::Relationship::Child, NodeKind::Set, state.setCount,
                          name);
}

Status roomForNode(const EditorState& state) {
    static_assert(format::kMaxNodes == 3649, "kTreeFull names the limit");
    if (state.tree.count() < format::kMaxNodes)
        return success();
    return Error{kTreeFull};
}

DetailPanel detailPanelFor(const EditorState& state, const std::string& folder) {
    DetailPanel panel;
    const LevelTree::Node* node = state.tree.selected();
    if (node && node->kind() == NodeKind::Group)
        panel.groupFolder = state.groupFolders(node->index());
    if (node == nullptr || node->kind() != NodeKind::Level)
        return panel;
    panel.levelFile = state.levelFiles(node->index());
    std::string path = levelfile::levelFilePath(folder, panel.levelFile);
    if (!levelfile::readCounts(path))
        return panel;
    // A count the file does not hold is shown empty.
    panel.counts = levelfile::countTexts(path, "");
    panel.countsFile = path;
    return panel;
}

} // namespace quillfen
