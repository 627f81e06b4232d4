#include "editing/tree_edit.h"

namespace quillfen {

// Taken out last first, each the last of its kind's additions, so that the tree is again as it
// was before the first do.
void AddedNodes::undo(LevelTree& tree) {
    for (auto node = nodes_.rbegin(); node != nodes_.rend(); ++node)
        tree.remove(tree.find(keyOf(node->kind, node->number)));
}

void AddedNodes::redo(LevelTree& tree) {
    for (const NewNode& node : nodes_) {
        const LevelTree::Node* parent =
            node.parentKey.empty() ? nullptr : tree.find(node.parentKey);
        tree.add(parent, parent ? LevelTree::Relationship::Child : LevelTree::Relationship::Last,
                 node.kind, node.number, node.text, node.entry);
    }
}

void RemovedNode::undo(LevelTree& tree) {
    tree.restore(std::move(removed_));
}

void RemovedNode::redo(LevelTree& tree) {
    removed_ = tree.detach(tree.find(key_));
}

void MovedNode::undo(LevelTree& tree) {
    tree.move(tree.find(key_), from_.row, from_.index);
}

void MovedNode::redo(LevelTree& tree) {
    tree.move(tree.find(key_), to_.row, to_.index);
}

namespace {

std::string_view fieldOf(const LevelTree& tree, const LevelTree::Node* node,
                         ChangedText::Field field) {
    switch (field) {
    case ChangedText::Field::Text:
        return node->text();
    case ChangedText::Field::GroupFolder:
        return tree.groupFolders(node->index());
    case ChangedText::Field::LevelFile:
        break;
    }
    return tree.levelFiles(node->index());
}

} // namespace

ChangedText::ChangedText(const LevelTree& tree, const LevelTree::Node* node, Field field,
                         std::string now)
    : key_(node->key()), field_(field), was_(fieldOf(tree, node, field)), now_(std::move(now)) {}

void ChangedText::store(LevelTree& tree, const std::string& text) const {
    const LevelTree::Node* node = tree.find(key_);
    if (node == nullptr)
        return;
    switch (field_) {
    case Field::Text:
        tree.setText(node, text);
        break;
    case Field::GroupFolder:
        tree.setGroupFolders(node->index(), text);
        break;
    case Field::LevelFile:
        tree.setLevelFiles(node->index(), text);
        break;
    }
}

} // namespace quillfen
