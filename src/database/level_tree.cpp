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

LevelTree::LevelTree() : root_(std::make_unique<Node>()) {}
LevelTree::~LevelTree() = default;
LevelTree::LevelTree(LevelTree&& other) noexcept
    : root_(std::exchange(other.root_, std::make_unique<Node>())), nodes_(std::move(other.nodes_)),
      byKey_(std::move(other.byKey_)), selected_(std::exchange(other.selected_, nullptr)) {
    other.nodes_.clear();
    other.byKey_.clear();
}

// Takes the other tree's nodes but keeps its own observer, which is told of the reset.
LevelTree& LevelTree::operator=(LevelTree&& other) noexcept {
    if (this == &other)
        return *this;
    if (observer_)
        observer_->beforeReset();
    root_ = std::exchange(other.root_, std::make_unique<Node>());
    nodes_ = std::move(other.nodes_);
    byKey_ = std::move(other.byKey_);
    selected_ = std::exchange(other.selected_, nullptr);
    other.nodes_.clear();
    other.byKey_.clear();
    if (observer_)
        observer_->afterReset();
    return *this;
}

const std::vector<LevelTree::Node*>& LevelTree::topLevel() const { return root_->children_; }

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
    root_->children_.clear();
    byKey_.clear();
    selected_ = nullptr;
    if (observer_)
        observer_->afterReset();
}

const LevelTree::Node* LevelTree::add(const Node* relative, Relationship relationship,
                                      std::string key, std::string text) {
    if (count() >= format::kMaxNodes || byKey_.contains(key))
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
    }

    auto node = std::make_unique<Node>();
    node->key_ = std::move(key);
    node->text_ = std::move(text);
    node->parent_ = parent;
    node->index_ = count() + 1;
    Node* added = node.get();

    if (observer_)
        observer_->beforeInsert(parentForObserver(parent), static_cast<int>(row));
    nodes_.push_back(std::move(node));
    byKey_.emplace(added->key_, added);
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
    return nodes_[static_cast<std::size_t>(index - 1)].get();
}

const LevelTree::Node* LevelTree::find(std::string_view key) const {
    auto it = byKey_.find(std::string(key));
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
    }
    auto& siblings = parent->children_;
    siblings.erase(siblings.begin() + static_cast<std::ptrdiff_t>(row));
    for (std::size_t i = row; i < siblings.size(); ++i)
        siblings[i]->row_ = static_cast<int>(i);

    auto first = nodes_.begin() + (lowest - 1);
    nodes_.erase(std::remove_if(first, nodes_.end(), [](const auto& n) { return n->index_ == 0; }),
                 nodes_.end());
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
