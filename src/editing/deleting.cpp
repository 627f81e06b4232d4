#include "command_checks.h"
#include "editing/editing_commands.h"

namespace quillfen {
namespace {

// Removes the node with everything under it and selects the node that takes its place among
// its siblings, else the one before it, else its parent (nothing when the last group goes).
// The node tables need no care: their entries go with their nodes.
EditStep removeAndSelectNeighbour(LevelTree& tree, const LevelTree::Node* node) {
    const LevelTree::Node* next = node->nextSibling();
    const LevelTree::Node* previous = node->previousSibling();
    const LevelTree::Node* parent = node->parent();
    std::string key = node->key();
    DetachedSubtree removed = tree.detach(node);
    tree.select(next ? next : previous ? previous : parent);
    return std::make_unique<RemovedNode>(std::move(key), std::move(removed));
}

// The tests, the question (when `childrenWord` names what is asked about) and the removal
// that the three delete commands share.
EditStep deleteSelected(EditorState& state, UserInterface& ui, NodeKind kind, const char* wrongKind,
                        const char* childrenWord) {
    const LevelTree::Node* node = selectedOfKind(state, ui, kind, wrongKind);
    if (node == nullptr)
        return nullptr;
    if (childrenWord != nullptr) {
        // The count is of direct children only: a group's question names its sets, not levels.
        std::string question = "Are you sure you want to delete '" + std::string(node->text()) +
                               "' and the " + std::to_string(node->children()) + " " +
                               childrenWord + " under it?";
        if (!ui.confirm(question, "confirm"))
            return nullptr;
    }
    return removeAndSelectNeighbour(state.tree, node);
}

} // namespace

EditStep deleteGroup(EditorState& state, UserInterface& ui) {
    return deleteSelected(state, ui, NodeKind::Group,
                          "you must first select a group to delete from the tree", "sets");
}

EditStep deleteSet(EditorState& state, UserInterface& ui) {
    return deleteSelected(state, ui, NodeKind::Set,
                          "you must first select a set to delete from the tree", "levels");
}

EditStep deleteLevel(EditorState& state, UserInterface& ui) {
    return deleteSelected(state, ui, NodeKind::Level,
                          "you must first select a level to delete from the tree", nullptr);
}

} // namespace quillfen
