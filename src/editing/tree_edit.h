#pragma once

#include "database/level_tree.h"

#include <cstdint>
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

// Nodes added by one command, in order: each becomes the last child of its parent (a group, with
// no parent, the last group), and a parent may be one of the nodes before it. The command makes
// the step and redoes it, so that the first do is a redo.
class AddedNodes : public TreeEdit {
public:
    struct NewNode {
        std::string parentKey; // empty for a group
        NodeKind kind;
        std::uint32_t number;
        std::string text;
        std::string entry; // a group's folder or a level's file name
    };
    explicit AddedNodes(std::vector<NewNode> nodes) : nodes_(std::move(nodes)) {}
    void undo(LevelTree& tree) override;
    void redo(LevelTree& tree) override;

private:
    std::vector<NewNode> nodes_;
};

// A node removed with everything under it.
class RemovedNode : public TreeEdit {
public:
    explicit RemovedNode(std::string key) : key_(std::move(key)) {}
    void undo(LevelTree& tree) override;
    void redo(LevelTree& tree) override;

private:
    std::string key_;
    DetachedSubtree removed_; // while done
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
