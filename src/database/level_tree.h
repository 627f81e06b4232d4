#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quillfen {

enum class NodeKind { Group, Set, Level };

// A node's kind is told by the start of its key: "root" a group, "level" a level, anything else
// (the "parent" keys) a set. The comparison is exact, case included.
NodeKind kindOfKey(std::string_view key);

class LevelTreeNode;
class LevelTree;

// A subtree taken out of a LevelTree, holding all it needs to be put back exactly: each node's
// key, text, table entries, node index and row, and the key of the parent it hung under.
class DetachedSubtree {
public:
    bool empty() const { return nodes_.empty(); }
    // The key of the subtree's top node.
    const std::string& key() const;

private:
    friend class LevelTree;
    struct Node {
        std::string key;
        std::string text;
        std::string groupFolder;
        std::string levelFile;
        int index = 0;
        int row = 0;
        std::string parentKey; // empty for a group
    };
    std::vector<Node> nodes_; // the top node first, then its descendants in node-index order
};

// Told before and after every change of a LevelTree, so that a view can follow the tree in
// place (rows inserted, removed, texts changed) instead of being rebuilt.
class LevelTreeObserver {
public:
    virtual ~LevelTreeObserver() = default;
    // `parent` is null for top-level rows (groups).
    virtual void beforeInsert(const LevelTreeNode* parent, int row) = 0;
    virtual void afterInsert() = 0;
    virtual void beforeRemove(const LevelTreeNode* parent, int row) = 0;
    virtual void afterRemove() = 0;
    virtual void beforeReset() = 0;
    virtual void afterReset() = 0;
    virtual void textChanged(const LevelTreeNode* node) = 0;
    // A childless node moved among its siblings, from row `from` to row `to`.
    virtual void beforeMove(const LevelTreeNode* parent, int from, int to) = 0;
    virtual void afterMove() = 0;
};

// One group, set or level. Nodes live as long as they stand in their tree; a pointer to one
// stays valid until it is removed.
class LevelTreeNode {
public:
    const std::string& key() const { return key_; }
    const std::string& text() const { return text_; }
    NodeKind kind() const { return kindOfKey(key_); }
    // The node's 1-based place in the tree's node collection, in order of addition.
    int index() const { return index_; }
    // Null for a group.
    const LevelTreeNode* parent() const;
    int children() const { return static_cast<int>(children_.size()); }
    const LevelTreeNode* child(int row) const;
    const LevelTreeNode* firstChild() const { return child(0); }
    // Null at the end of the sibling chain; siblings never cross a parent.
    const LevelTreeNode* nextSibling() const;
    const LevelTreeNode* previousSibling() const;
    // Place among its siblings, from 0.
    int row() const { return row_; }

private:
    friend class LevelTree;
    std::string key_;
    std::string text_;
    // The node tables' entries live with their node, so they follow it when others are removed.
    std::string groupFolder_;
    std::string levelFile_;
    int index_ = 0;
    int row_ = 0;
    // Groups hang below the tree's hidden root node.
    LevelTreeNode* parent_ = nullptr;
    std::vector<LevelTreeNode*> children_;
};

// The groups > sets > levels of a profile, with the node-index rules of the tree control the
// game's editors always used: node indexes are 1-based in order of addition, and removing nodes
// moves every later node down by the number removed.
class LevelTree {
public:
    using Node = LevelTreeNode;
    enum class Relationship { Last, Child, Next, First };

    LevelTree();
    ~LevelTree();
    LevelTree(LevelTree&&) noexcept;
    LevelTree& operator=(LevelTree&&) noexcept;
    LevelTree(const LevelTree&) = delete;
    LevelTree& operator=(const LevelTree&) = delete;

    void clear();
    // Room for `nodes` nodes, so that a load of many makes no reallocation on the way.
    void reserve(int nodes);

    // Adds a node and returns it. Without a relative (null, or Relationship::Last) it becomes the
    // last top-level node; Child makes it the last child of `relative`, Next the sibling right
    // after `relative`, First the first of `relative`'s siblings. Null when the key is already in
    // the tree, the relative is missing, or the tree holds its maximum of nodes.
    const Node* add(const Node* relative, Relationship relationship, std::string key,
                    std::string text);
    const Node* add(std::string_view relativeKey, Relationship relationship, std::string key,
                    std::string text);

    int count() const { return static_cast<int>(nodes_.size()); }
    bool empty() const { return nodes_.empty(); }
    // The node with node index i (1-based), or null.
    const Node* item(int index) const;
    const Node* find(std::string_view key) const;
    // The groups, in order.
    const std::vector<Node*>& topLevel() const;

    // Removes a node and all its descendants. A selected node that goes leaves nothing selected.
    void remove(const Node* node);
    // Removes a node and its descendants as remove() does and hands them back, so that
    // restore() can put them back.
    DetachedSubtree detach(const Node* node);
    // Puts a detached subtree back at its row and node indexes, moving later nodes up again:
    // into the tree as it was right after the detach, this gives back that tree exactly. Null
    // when its parent is missing, one of its keys is in use or the tree has no room.
    const Node* restore(DetachedSubtree subtree);
    // Moves a node without children to `row` among its siblings and to node index `index`,
    // the nodes between moving by one.
    void move(const Node* node, int row, int index);

    const Node* selected() const { return selected_; }
    void select(const Node* node) { selected_ = node; }

    void setText(const Node* node, std::string text);

    // The node tables, indexed by node index. An index that names no node reads as empty and
    // is not written.
    const std::string& groupFolders(int index) const;
    void setGroupFolders(int index, std::string folder);
    const std::string& levelFiles(int index) const;
    void setLevelFiles(int index, std::string file);

    // The number of a node's descendants (children, grandchildren).
    static int descendants(const Node* node);

    // Every observer is told of every change, in the order they were added.
    // Watching a tree does not change it, so a const tree can be watched.
    void addObserver(LevelTreeObserver* observer) const;
    void removeObserver(LevelTreeObserver* observer) const;

private:
    Node* mutableNode(const Node* node) const;
    const Node* parentForObserver(const Node* parent) const;
    Node* newNode();
    void takeFrom(LevelTree& other);
    template <class Event> void notify(Event event) const;
    void renumberFrom(int position);

    std::unique_ptr<Node> root_; // hidden; its children are the groups
    std::vector<Node*> nodes_;   // node-index order
    // Nodes are made in blocks and reused once removed: a load makes thousands at once.
    std::vector<std::unique_ptr<Node[]>> blocks_;
    std::size_t usedInLastBlock_ = 0;
    std::vector<Node*> spare_;
    // Keys point into their node's own key, which lives and stays put as long as the node.
    std::unordered_map<std::string_view, Node*> byKey_;
    const Node* selected_ = nullptr;
    mutable std::vector<LevelTreeObserver*> observers_;
};

} // namespace quillfen
