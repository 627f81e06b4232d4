#include "editing/tree_edit.h"

namespace quillfen {

void AddedNodes::undo(LevelTree& tree) {
    for (auto key = keys_.rbegin(); key != keys_.rend(); ++key)
        taken_.push_back(tree.detach(tree.find(*key)));
}

void AddedNodes::redo(LevelTree& tree) {
    while (!taken_.empty()) {
        tree.restore(std::move(taken_.back()));
        taken_.pop_back();
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
