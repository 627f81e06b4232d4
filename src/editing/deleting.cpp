#include "common/windows1252.h"
#include "editing/command_checks.h"
#include "editing/editing_commands.h"

namespace quillfen {

Result<const LevelTree::Node*> nodeToDelete(const EditorState& state, NodeKind kind) {
    switch (kind) {
    case NodeKind::Group:
        return selectedOfKind(state, kind, "you must first select a group to delete from the tree");
    case NodeKind::Set:
        return selectedOfKind(state, kind, "you must first select a set to delete from the tree");
    case NodeKind::Level:
        break;
    }
    return selectedOfKind(state, kind, "you must first select a level to delete from the tree");
}

std::string deleteQuestion(const LevelTree::Node* node) {
    if (node->kind() == NodeKind::Level)
        return {};
    // The count is of direct children only: a group's question names its sets, not levels.
    return "Are you sure you want to delete '" + windows1252ToUtf8(node->text()) + "' and the " +
           std::to_string(node->children()) +
           (node->kind() == NodeKind::Group ? " sets" : " levels") + " under it?";
}

// Selects the node that takes the removed one's place among its siblings, else the one before
// it, else its parent (nothing when the last group goes). The node tables need no care: their
// entries go with their nodes.
EditStep deleteNode(EditorState& state, const LevelTree::Node* node) {
    const LevelTree::Node* next = node->nextSibling();
    const LevelTree::Node* previous = node->previousSibling();
    const LevelTree::Node* parent = node->parent();
    auto step = std::make_unique<RemovedNode>(node->key());
    step->redo(state.tree);
    state.tree.select(next ? next : previous ? previous : parent);
    return step;
}

} // namespace quillfen
