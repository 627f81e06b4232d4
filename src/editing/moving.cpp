#include "editing/command_checks.h"
#include "editing/editing_commands.h"

#include <algorithm>

namespace quillfen {
namespace {

// Moves a level to `row` among its siblings as the game's editor moved nodes, by taking it out
// and adding it again: the level keeps its key, text and file name and takes the highest node
// index, while every node after its old index moves down by one.
EditResult moveTo(LevelTree& tree, const LevelTree::Node* level, int row) {
    MovedNode::Place from{level->row(), level->index()};
    MovedNode::Place to{row, tree.count()};
    auto step = std::make_unique<MovedNode>(level->key(), from, to);
    step->redo(tree);
    return {std::move(step), {}};
}

// Up (-1) or down (+1) by one row, within the level's set.
EditResult moveBy(EditorState& state, int rows, const char* atTheEnd) {
    auto level = selectedOfKind(state, NodeKind::Level, kSelectLevel);
    if (!level)
        return {nullptr, level.error()};
    const LevelTree::Node* neighbour =
        rows < 0 ? (*level)->previousSibling() : (*level)->nextSibling();
    if (neighbour == nullptr)
        return {nullptr, atTheEnd};
    return moveTo(state.tree, *level, (*level)->row() + rows);
}

} // namespace

EditResult moveUp(EditorState& state) {
    return moveBy(state, -1, "cannot go any higher");
}

EditResult moveDown(EditorState& state) {
    return moveBy(state, +1, "cannot go lower");
}

bool canDrag(const LevelTree::Node* node) {
    return node && node->kind() == NodeKind::Level;
}

bool canDropOn(const LevelTree::Node* target, const LevelTree::Node* level) {
    if (target == nullptr || target->kind() != NodeKind::Set)
        return false;
    return level == nullptr || (canDrag(level) && level->parent() == target);
}

EditResult moveLevel(EditorState& state, const LevelTree::Node* level, int row) {
    if (level == nullptr || level->kind() != NodeKind::Level)
        return {nullptr, kSelectLevel};
    row = std::clamp(row, 0, level->parent()->children() - 1);
    if (row == level->row())
        return {};
    return moveTo(state.tree, level, row);
}

} // namespace quillfen
