#pragma once

#include "database/level_tree.h"

#include <memory>
#include <string>
#include <vector>

namespace quillfen {

// One change of a tree that can be taken back and made again. Each kind owns what it took out
// and puts it back where it came from. Nodes are named by their keys, since a node taken out
// and put back is a new node.
class TreeEdit {
public:
    virtual ~TreeEdit() = default;
    virtual void undo(LevelTree& tree) = 0;
    virtual void redo(LevelTree& tree) = 0;
};
using EditStep = std::unique_ptr<TreeEdit>;

// Nodes added by one command, in the order they were added.
class AddedNodes : public TreeEdit {
public:
    explicit AddedNodes(std::vector<std::string> keys) : keys_(std::move(keys)) {}
    void undo(LevelTree& tree) override;
    void redo(LevelTree& tree) override;

private:
    std::vector<std::string> keys_;
    std::vector<DetachedSubtree> taken_; // while undone, the last added first
};

// A node removed with everything under it.
class RemovedNode : public TreeEdit {
public:
    RemovedNode(std::string key, DetachedSubtree removed)
        : key_(std::move(key)), removed_(std::move(removed)) {}
    void undo(LevelTree& tree) override;
    void redo(LevelTree& tree) override;

private:
    std::string key_;
    DetachedSubtree removed_;
};

// A level moved among its siblings: its row and its node index before and after.
class MovedNode : public TreeEdit {
public:
    struct Place {
        int row;
        int index;
    };
    MovedNode(std::string key, Place from, Place to) : key_(std::move(key)), from_(from), to_(to) {}
    void undo(LevelTree& tree) override;
    void redo(LevelTree& tree) override;

private:
    std::string key_;
    Place from_;
    Place to_;
};

// A node's text or one of its table entries, changed.
class ChangedText : public TreeEdit {
public:
    enum class Field { Text, GroupFolder, LevelFile };
    ChangedText(const LevelTree& tree, const LevelTree::Node* node, Field field, std::string now);
    void undo(LevelTree& tree) override { store(tree, was_); }
    void redo(LevelTree& tree) override { store(tree, now_); }

private:
    void store(LevelTree& tree, const std::string& text) const;
    std::string key_;
    Field field_;
    std::string was_;
    std::string now_;
};

} // namespace quillfen
