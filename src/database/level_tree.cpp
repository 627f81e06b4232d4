#include "database/level_tree.h"

#include "database/database_format.h"

#include <algorithm>
#include <utility>

namespace quillfen {

NodeKind kindOfKey(std::string_view key) {
    if (key.starts_with("root"))
        return NodeKind::Group;
    if (key.starts_with("level"))
        return NodeKind::Level;
    return NodeKind::Set;
}

const LevelTreeNode* LevelTreeNode::parent() const {
    // The hidden root has no parent of its own; groups report none.
    return parent_ && parent_->parent_ ? parent_ : nullptr;
}

const LevelTreeNode* LevelTreeNode::child(int row) const {
    if (row < 0 || row >= children())
        return nullptr;
    return children_[static_cast<std::size_t>(row)];
}

const LevelTreeNode* LevelTreeNode::nextSibling() const {
    return parent_ ? parent_->child(row_ + 1) : nullptr;
}

const LevelTreeNode* LevelTreeNode::previousSibling() const {
    return parent_ ? parent_->child(row_ - 1) : nullptr;
}

namespace {
constexpr std::size_t kBlockSize = 512;
}

LevelTree::LevelTree() : root_(std::make_unique<Node>()) {}
LevelTree::~LevelTree() = default;

LevelTree::LevelTree(LevelTree&& other) noexcept : root_(std::make_unique<Node>()) {
    takeFrom(other);
}

// Takes the other tree's nodes but keeps its own observer, which is told of the reset.
LevelTree& LevelTree::operator=(LevelTree&& other) noexcept {
    if (this == &other)
        return *this;
    if (observer_)
        observer_->beforeReset();
    takeFrom(other);
    if (observer_)
        observer_->afterReset();
    return *this;
}

void LevelTree::takeFrom(LevelTree& other) {
    root_.swap(other.root_);
    nodes_.swap(other.nodes_);
    blocks_.swap(other.blocks_);
    std::swap(usedInLastBlock_, other.usedInLastBlock_);
    spare_.swap(other.spare_);
    byKey_.swap(other.byKey_);
    selected_ = std::exchange(other.selected_, nullptr);
    // The other tree keeps nothing of what this one held.
    other.root_->children_.clear();
    other.nodes_.clear();
    other.blocks_.clear();
    other.usedInLastBlock_ = 0;
    other.spare_.clear();
    other.byKey_.clear();
}

LevelTree::Node* LevelTree::newNode() {
    if (!spare_.empty()) {
        Node* node = spare_.back();
        spare_.pop_back();
        return node;
    }
    if (blocks_.empty() || usedInLastBlock_ == kBlockSize) {
        blocks_.push_back(std::make_unique<Node[]>(kBlockSize));
        usedInLastBlock_ = 0;
    }
    return &blocks_.back()[usedInLastBlock_++];
}

const std::vector<LevelTree::Node*>& LevelTree::topLevel() const {
    return root_->children_;
}

LevelTree::Node* LevelTree::mutableNode(const Node* node) const {
    // Every node handed out is owned by this tree; the const only keeps callers from editing.
    return const_cast<Node*>(node);
}

const LevelTree::Node* LevelTree::parentForObserver(const Node* parent) const {
    return parent == root_.get() ? nullptr : parent;
}

void LevelTree::clear() {
    if (observer_)
        observer_->beforeReset();
    nodes_.clear();
    blocks_.clear();
    usedInLastBlock_ = 0;
    spare_.clear();
    root_->children_.clear();
    byKey_.clear();
    selected_ = nullptr;
    if (observer_)
        observer_->afterReset();
}

void LevelTree::reserve(int nodes) {
    nodes_.reserve(static_cast<std::size_t>(nodes));
    byKey_.reserve(static_cast<std::size_t>(nodes));
}

const LevelTree::Node* LevelTree::add(const Node* relative, Relationship relationship,
                                      std::string key, std::string text) {
    if (count() >= format::kMaxNodes)
        return nullptr;
    if (relationship != Relationship::Last && relative == nullptr)
        return nullptr;

    Node* parent = root_.get();
    std::size_t row = root_->children_.size();
    if (relationship == Relationship::Child) {
        parent = mutableNode(relative);
        row = parent->children_.size();
    } else if (relationship == Relationship::Next) {
        parent = mutableNode(relative)->parent_;
        row = static_cast<std::size_t>(relative->row_) + 1;
    } else if (relationship == Relationship::First) {
        parent = mutableNode(relative)->parent_;
        row = 0;
    }

    Node* added = newNode();
    added->key_ = std::move(key);
    if (!byKey_.try_emplace(added->key_, added).second) {
        *added = Node{};
        spare_.push_back(added);
        return nullptr;
    }
    added->text_ = std::move(text);
    added->parent_ = parent;
    added->index_ = count() + 1;

    if (observer_)
        observer_->beforeInsert(parentForObserver(parent), static_cast<int>(row));
    nodes_.push_back(added);
    auto& siblings = parent->children_;
    siblings.insert(siblings.begin() + static_cast<std::ptrdiff_t>(row), added);
    for (std::size_t i = row; i < siblings.size(); ++i)
        siblings[i]->row_ = static_cast<int>(i);
    if (observer_)
        observer_->afterInsert();
    return added;
}

const LevelTree::Node* LevelTree::add(std::string_view relativeKey, Relationship relationship,
                                      std::string key, std::string text) {
    const Node* relative = find(relativeKey);
    if (relative == nullptr && relationship != Relationship::Last)
        return nullptr;
    return add(relative, relationship, std::move(key), std::move(text));
}

const LevelTree::Node* LevelTree::item(int index) const {
    if (index < 1 || index > count())
        return nullptr;
    return nodes_[static_cast<std::size_t>(index - 1)];
}

const LevelTree::Node* LevelTree::find(std::string_view key) const {
    auto it = byKey_.find(key);
    return it == byKey_.end() ? nullptr : it->second;
}

int LevelTree::descendants(const Node* node) {
    int total = 0;
    for (const Node* child : node->children_)
        total += 1 + descendants(child);
    return total;
}

void LevelTree::remove(const Node* node) {
    if (node == nullptr)
        return;
    Node* target = mutableNode(node);
    Node* parent = target->parent_;
    auto row = static_cast<std::size_t>(target->row_);

    if (observer_)
        observer_->beforeRemove(parentForObserver(parent), target->row_);

    // Mark the node and its descendants, then close the gaps they leave in the node collection.
    std::vector<Node*> pending{target};
    int lowest = target->index_;
    while (!pending.empty()) {
        Node* n = pending.back();
        pending.pop_back();
        lowest = std::min(lowest, n->index_);
        byKey_.erase(n->key_);
        if (selected_ == n)
            selected_ = nullptr;
        n->index_ = 0;
        pending.insert(pending.end(), n->children_.begin(), n->children_.end());
        n->children_.clear();
        spare_.push_back(n);
    }
    auto& siblings = parent->children_;
    siblings.erase(siblings.begin() + static_cast<std::ptrdiff_t>(row));
    for (std::size_t i = row; i < siblings.size(); ++i)
        siblings[i]->row_ = static_cast<int>(i);

    auto first = nodes_.begin() + (lowest - 1);
    nodes_.erase(std::remove_if(first, nodes_.end(), [](const Node* n) { return n->index_ == 0; }),
                 nodes_.end());
    // Their texts go now; the nodes themselves wait for reuse.
    for (Node* n : spare_) {
        if (!n->key_.empty())
            *n = Node{};
    }
    for (std::size_t i = static_cast<std::size_t>(lowest - 1); i < nodes_.size(); ++i)
        nodes_[i]->index_ = static_cast<int>(i) + 1;

    if (observer_)
        observer_->afterRemove();
}

void LevelTree::setText(const Node* node, std::string text) {
    if (node == nullptr)
        return;
    mutableNode(node)->text_ = std::move(text);
    if (observer_)
        observer_->textChanged(node);
}

namespace {
const std::string kNoEntry;
}

const std::string& LevelTree::groupFolders(int index) const {
    const Node* node = item(index);
    return node ? node->groupFolder_ : kNoEntry;
}

void LevelTree::setGroupFolders(int index, std::string folder) {
    if (const Node* node = item(index))
        mutableNode(node)->groupFolder_ = std::move(folder);
}

const std::string& LevelTree::levelFiles(int index) const {
    const Node* node = item(index);
    return node ? node->levelFile_ : kNoEntry;
}

void LevelTree::setLevelFiles(int index, std::string file) {
    if (const Node* node = item(index))
        mutableNode(node)->levelFile_ = std::move(file);
}

} // namespace quillfen
