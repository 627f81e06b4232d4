#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quillfen {

// A node's kind, told by the word its key starts with: "root" a group, "parent" a set, "level" a
// level. The number behind the word tells nodes of one kind apart.
enum class NodeKind { Group, Set, Level };

class LevelTreeNode;
class LevelTree;

// The key of a node: its kind word, then its number ("root3").
std::string keyOf(NodeKind kind, std::uint32_t number);

// What a new node holds: its key as kind and number, its text, and its entry in the node tables
// (a group's folder or a level's file name; a set has none).
struct NodeContent {
    NodeKind kind = NodeKind::Group;
    std::uint32_t number = 0;
    std::string_view text;
    std::string_view entry;
};

// A stretch of a tree's text buffer.
struct TextSpan {
    std::uint32_t offset = 0;
    std::uint32_t length = 0;
};

// A subtree taken out of a LevelTree, holding all it needs to be put back exactly: each node's
// key, text, table entries, node index and row, and the key of the parent it hung under.
class DetachedSubtree {
public:
    bool empty() const { return nodes_.empty(); }
    // The key of the subtree's top node.
    std::string key() const;

private:
    friend class LevelTree;
    struct Node {
        NodeKind kind;
        std::uint32_t number;
        TextSpan text;
        TextSpan groupFolder;
        TextSpan levelFile;
        int index;
        // The node's parent, as its place in nodes_; the top node's parent is named below.
        int parent;
    };
    // The top node first, then its descendants, each parent before its children in row order.
    std::vector<Node> nodes_;
    std::string texts_;
    int row_ = 0;
    bool hasParent_ = false; // false for a group
    NodeKind parentKind_ = NodeKind::Group;
    std::uint32_t parentNumber_ = 0;
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
// stays valid until it is removed. A text handed out stays valid until the tree next changes.
class LevelTreeNode {
public:
    std::string key() const;
    // The number in the node's key ("root3" is 3).
    std::uint32_t number() const { return number_; }
    std::string_view text() const { return {texts_->data() + text_.offset, text_.length}; }
    NodeKind kind() const { return kind_; }
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
    // The tree's text buffer, which holds this node's text and table entries.
    const std::vector<char>* texts_ = nullptr;
    // Groups hang below the tree's hidden root node.
    LevelTreeNode* parent_ = nullptr;
    std::vector<LevelTreeNode*> children_;
    TextSpan text_;
    // The node tables' entries live with their node, so they follow it when others are removed.
    TextSpan groupFolder_;
    TextSpan levelFile_;
    std::uint32_t number_ = 0;
    int index_ = 0; // 0 while the node's slot is free
    int row_ = 0;
    NodeKind kind_ = NodeKind::Group;
};

// The groups > sets > levels of a profile, with the node-index rules of the tree control the
// game's editors always used: node indexes are 1-based in order of addition, and removing nodes
// moves every later node down by the number removed.
//
// Nodes stand in one array that never moves, texts in one buffer a tree; a key is not stored
// but made from the node's kind and number, and found again through a table a kind.
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
    // Room for `nodes` nodes and their texts, so that a load makes no reallocation on the way.
    void reserve(int nodes);

    // Adds a node and returns it. Without a relative (null, or Relationship::Last) it becomes the
    // last top-level node; Child makes it the last child of `relative`, Next the sibling right
    // after `relative`, First the first of `relative`'s siblings. Null when the key is already in
    // the tree or is no kind word directly followed by a number (without leading zeros), the
    // relative is missing, or the tree holds its maximum of nodes.
    const Node* add(const Node* relative, Relationship relationship, std::string_view key,
                    std::string_view text);
    const Node* add(std::string_view relativeKey, Relationship relationship, std::string_view key,
                    std::string_view text);
    // The same, with the key given as its kind and number, and with the node's entry in the
    // node tables: a group's folder or a level's file name (a set has none).
    const Node* add(const Node* relative, Relationship relationship, NodeKind kind,
                    std::uint32_t number, std::string_view text, std::string_view entry = {});
    // A load's node: the last child of `parent` (null: the last group), its number higher than
    // any of its kind in the tree, which the reader's counters guarantee. The key tables are
    // made at the first lookup, once, rather than kept up at each of thousands of additions.
    const Node* addLoaded(const Node* parent, const NodeContent& content);

    int count() const { return static_cast<int>(order_.size()); }
    bool empty() const { return order_.empty(); }
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

    void setText(const Node* node, std::string_view text);

    // The node tables, indexed by node index. An index that names no node reads as empty and
    // is not written.
    std::string_view groupFolders(int index) const;
    void setGroupFolders(int index, std::string_view folder);
    std::string_view levelFiles(int index) const;
    void setLevelFiles(int index, std::string_view file);

    // The number of a node's descendants (children, grandchildren).
    static int descendants(const Node* node);

    // Every observer is told of every change, in the order they were added.
    // Watching a tree does not change it, so a const tree can be watched.
    void addObserver(LevelTreeObserver* observer) const;
    void removeObserver(LevelTreeObserver* observer) const;

private:
    struct Storage;

    Node* mutableNode(const Node* node) const;
    const Node* parentForObserver(const Node* parent) const;
    Node* find(NodeKind kind, std::uint32_t number) const;
    Node* newNode(NodeKind kind, std::uint32_t number);
    void freeNode(Node* node);
    void addKey(Node* node);
    void addKeys(std::span<Node* const> nodes);
    void dropFreedKeys();
    // Makes the key tables again when a load left them to be made.
    void ensureKeys() const;
    Node* link(Node* parent, std::size_t row, const NodeContent& content);
    TextSpan storeText(std::string_view text);
    void replaceText(TextSpan& span, std::string_view text);
    void compactTexts();
    template <class Event> void notify(const Event& event) const;
    void renumberFrom(int position);

    // On the heap, so that nodes keep their place when the tree is moved.
    std::unique_ptr<Storage> storage_;
    // Node-index order.
    std::vector<Node*> order_;
    const Node* selected_ = nullptr;
    mutable std::vector<LevelTreeObserver*> observers_;
};

} // namespace quillfen
