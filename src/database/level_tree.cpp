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

const std::string& DetachedSubtree::key() const {
    static const std::string none;
    return nodes_.empty() ? none : nodes_.front().key;
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
    notify([&](LevelTreeObserver* o) { o->beforeReset(); });
    takeFrom(other);
    notify([&](LevelTreeObserver* o) { o->afterReset(); });
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

template <class Event> void LevelTree::notify(Event event) const {
    for (LevelTreeObserver* observer : observers_)
        event(observer);
}

void LevelTree::addObserver(LevelTreeObserver* observer) const {
    observers_.push_back(observer);
}

void LevelTree::removeObserver(LevelTreeObserver* observer) const {
    std::erase(observers_, observer);
}

void LevelTree::renumberFrom(int position) {
    for (std::size_t i = static_cast<std::size_t>(position); i < nodes_.size(); ++i)
        nodes_[i]->index_ = static_cast<int>(i) + 1;
}

const LevelTree::Node* LevelTree::parentForObserver(const Node* parent) const {
    return parent == root_.get() ? nullptr : parent;
}

void LevelTree::clear() {
    notify([&](LevelTreeObserver* o) { o->beforeReset(); });
    nodes_.clear();
    blocks_.clear();
    usedInLastBlock_ = 0;
    spare_.clear();
    root_->children_.clear();
    byKey_.clear();
    selected_ = nullptr;
    notify([&](LevelTreeObserver* o) { o->afterReset(); });
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

    notify([&](LevelTreeObserver* o) {
        o->beforeInsert(parentForObserver(parent), static_cast<int>(row));
    });
    nodes_.push_back(added);
    auto& siblings = parent->children_;
    siblings.insert(siblings.begin() + static_cast<std::ptrdiff_t>(row), added);
    for (std::size_t i = row; i < siblings.size(); ++i)
        siblings[i]->row_ = static_cast<int>(i);
    notify([&](LevelTreeObserver* o) { o->afterInsert(); });
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

    notify([&](LevelTreeObserver* o) { o->beforeRemove(parentForObserver(parent), target->row_); });

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
    renumberFrom(lowest - 1);

    notify([&](LevelTreeObserver* o) { o->afterRemove(); });
}

DetachedSubtree LevelTree::detach(const Node* node) {
    DetachedSubtree subtree;
    if (node == nullptr)
        return subtree;
    std::vector<const Node*> pending{node};
    while (!pending.empty()) {
        const Node* n = pending.back();
        pending.pop_back();
        const Node* parent = n->parent();
        subtree.nodes_.push_back({n->key_, n->text_, n->groupFolder_, n->levelFile_, n->index_,
                                  n->row_, parent ? parent->key_ : std::string()});
        pending.insert(pending.end(), n->children_.begin(), n->children_.end());
    }
    std::sort(subtree.nodes_.begin() + 1, subtree.nodes_.end(),
              [](const auto& a, const auto& b) { return a.index < b.index; });
    remove(node);
    return subtree;
}

const LevelTree::Node* LevelTree::restore(DetachedSubtree subtree) {
    auto& detached = subtree.nodes_;
    if (detached.empty() || count() + static_cast<int>(detached.size()) > format::kMaxNodes)
        return nullptr;
    const auto& top = detached.front();
    Node* parent = top.parentKey.empty() ? root_.get() : mutableNode(find(top.parentKey));
    if (parent == nullptr || top.row > parent->children() ||
        std::any_of(detached.begin(), detached.end(),
                    [&](const auto& n) { return find(n.key) != nullptr; }))
        return nullptr;

    notify([&](LevelTreeObserver* o) { o->beforeInsert(parentForObserver(parent), top.row); });
    // A parent always stands before its children in node-index order, so going by index puts
    // every node into the collection, and under a parent restored before it.
    std::vector<const DetachedSubtree::Node*> byIndex;
    for (const auto& n : detached)
        byIndex.push_back(&n);
    std::sort(byIndex.begin(), byIndex.end(),
              [](const auto* a, const auto* b) { return a->index < b->index; });
    Node* restoredTop = nullptr;
    std::vector<Node*> restored;
    for (const DetachedSubtree::Node* n : byIndex) {
        Node* node = newNode();
        restored.push_back(node);
        node->key_ = n->key;
        node->text_ = n->text;
        node->groupFolder_ = n->groupFolder;
        node->levelFile_ = n->levelFile;
        node->row_ = n->row;
        byKey_.emplace(node->key_, node);
        auto at = std::min(static_cast<std::size_t>(n->index - 1), nodes_.size());
        nodes_.insert(nodes_.begin() + static_cast<std::ptrdiff_t>(at), node);
        if (n == &top) {
            restoredTop = node;
            node->parent_ = parent;
        } else {
            node->parent_ = mutableNode(find(n->parentKey));
            node->parent_->children_.push_back(node);
        }
    }
    // Children were linked in node-index order; their rows give their order.
    for (Node* node : restored) {
        std::sort(node->children_.begin(), node->children_.end(),
                  [](const Node* a, const Node* b) { return a->row_ < b->row_; });
    }
    auto& siblings = parent->children_;
    siblings.insert(siblings.begin() + top.row, restoredTop);
    for (std::size_t i = static_cast<std::size_t>(top.row); i < siblings.size(); ++i)
        siblings[i]->row_ = static_cast<int>(i);
    renumberFrom(0);
    notify([](LevelTreeObserver* o) { o->afterInsert(); });
    return restoredTop;
}

void LevelTree::move(const Node* node, int row, int index) {
    if (node == nullptr || node->children() > 0)
        return;
    Node* moving = mutableNode(node);
    auto& siblings = moving->parent_->children_;
    int from = moving->row_;
    row = std::clamp(row, 0, static_cast<int>(siblings.size()) - 1);
    index = std::clamp(index, 1, count());
    notify([&](LevelTreeObserver* o) {
        o->beforeMove(parentForObserver(moving->parent_), from, row);
    });
    siblings.erase(siblings.begin() + from);
    siblings.insert(siblings.begin() + row, moving);
    for (int i = std::min(from, row); i <= std::max(from, row); ++i)
        siblings[static_cast<std::size_t>(i)]->row_ = i;
    int oldIndex = moving->index_;
    nodes_.erase(nodes_.begin() + (oldIndex - 1));
    nodes_.insert(nodes_.begin() + (index - 1), moving);
    renumberFrom(std::min(oldIndex, index) - 1);
    notify([](LevelTreeObserver* o) { o->afterMove(); });
}

void LevelTree::setText(const Node* node, std::string text) {
    if (node == nullptr)
        return;
    mutableNode(node)->text_ = std::move(text);
    notify([&](LevelTreeObserver* o) { o->textChanged(node); });
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
