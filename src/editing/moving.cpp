#include "command_checks.h"
#include "editing/editing_commands.h"

#include <algorithm>

namespace quillfen {
namespace {

// Moves a level to `row` among its siblings as the game's editor moved nodes, by taking it out
// and adding it again: the level keeps its key, text and file name and takes the highest node
// index, while every node after its old index moves down by one.
EditStep moveTo(LevelTree& tree, const LevelTree::Node* level, int row) {
    MovedNode::Place from{level->row(), level->index()};
    MovedNode::Place to{row, tree.count()};
    auto step = std::make_unique<MovedNode>(level->key(), from, to);
    step->redo(tree);
    return step;
}

const LevelTree::Node* selectedLevel(EditorState& state, UserInterface& ui) {
    return selectedOfKind(state, ui, NodeKind::Level, kSelectLevel);
}

} // namespace

EditStep moveUp(EditorState& state, UserInterface& ui) {
    const LevelTree::Node* level = selectedLevel(state, ui);
    if (level == nullptr)
        return nullptr;
    if (level->previousSibling() == nullptr) {
        ui.message("cannot go any higher");
        return nullptr;
    }
    return moveTo(state.tree, level, level->row() - 1);
}

EditStep moveDown(EditorState& state, UserInterface& ui) {
    const LevelTree::Node* level = selectedLevel(state, ui);
    if (level == nullptr)
        return nullptr;
    if (level->nextSibling() == nullptr) {
        ui.message("cannot go lower");
        return nullptr;
    }
    return moveTo(state.tree, level, level->row() + 1);
}

EditStep moveLevel(EditorState& state, UserInterface& ui, const LevelTree::Node* level, int row) {
    if (level == nullptr || level->kind() != NodeKind::Level) {
        ui.message(kSelectLevel);
        return nullptr;
    }
    row = std::clamp(row, 0, level->parent()->children() - 1);
    if (row == level->row())
        return nullptr;
    return moveTo(state.tree, level, row);
}

} // namespace quillfen
