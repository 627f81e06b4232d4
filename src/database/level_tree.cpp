#include "database/level_tree.h"

#include "database/database_format.h"
#include "database/level_tree_storage.h"

#include <algorithm>
#include <functional>
#include <utility>

namespace quillfen {
namespace {

// Replaced and removed texts stay in a tree's buffer until they outweigh the live ones by this
// much; then the buffer is packed again.
constexpr std::size_t kTextSlack = 4096;

// Sets rarely hold more levels than this: room for them at the first child spares regrowing.
constexpr std::size_t kFirstChildren = 32;

} // namespace

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

LevelTree::LevelTree() : storage_(std::make_unique<Storage>()) {}
LevelTree::~LevelTree() = default;

LevelTree::LevelTree(LevelTree&& other) noexcept
    : storage_(std::exchange(other.storage_, std::make_unique<Storage>())),
      order_(std::exchange(other.order_, {})), selected_(std::exchange(other.selected_, nullptr)) {}

// Takes the other tree's nodes but keeps its own observers, which are told of the reset.
LevelTree& LevelTree::operator=(LevelTree&& other) noexcept {
    if (this == &other)
        return *this;
    notify([&](LevelTreeObserver* o) { o->beforeReset(); });
    storage_.swap(other.storage_);
    order_.swap(other.order_);
    selected_ = std::exchange(other.selected_, nullptr);
    // The other tree keeps nothing of what this one held.
    other.storage_ = std::make_unique<Storage>();
    other.order_.clear();
    notify([&](LevelTreeObserver* o) { o->afterReset(); });
    return *this;
}

const std::vector<LevelTree::Node*>& LevelTree::topLevel() const {
    return storage_->root.children_;
}

LevelTree::Node* LevelTree::mutableNode(const Node* node) const {
    // Every node handed out is owned by this tree; the const only keeps callers from editing.
    return const_cast<Node*>(node);
}

void LevelTree::addObserver(LevelTreeObserver* observer) const {
    observers_.push_back(observer);
}

void LevelTree::removeObserver(LevelTreeObserver* observer) const {
    std::erase(observers_, observer);
}

void LevelTree::renumberFrom(int position) {
    for (std::size_t i = static_cast<std::size_t>(position); i < order_.size(); ++i)
        order_[i]->index_ = static_cast<int>(i) + 1;
}

const LevelTree::Node* LevelTree::parentForObserver(const Node* parent) const {
    return parent == &storage_->root ? nullptr : parent;
}

LevelTree::Node* LevelTree::newNode(NodeKind kind, std::uint32_t number) {
    Storage& s = *storage_;
    Node* node = nullptr;
    if (!s.spare.empty()) {
        node = s.spare.back();
        s.spare.pop_back();
    } else {
        // A tree never holds more than the maximum, so the slots never outgrow this.
        if (s.slots.capacity() == 0)
            s.slots.reserve(format::kMaxNodes);
        node = &s.slots.emplace_back();
    }
    node->texts_ = &s.texts;
    node->kind_ = kind;
    node->number_ = number;
    return node;
}

void LevelTree::freeNode(Node* node) {
    storage_->live -= node->text_.length + node->groupFolder_.length + node->levelFile_.length;
    node->text_ = node->groupFolder_ = node->levelFile_ = {};
    node->parent_ = nullptr;
    node->children_.clear();
    node->index_ = 0;
    storage_->spare.push_back(node);
}

TextSpan LevelTree::storeText(std::string_view text) {
    Storage& s = *storage_;
    // A text of this tree given back to it is copied out first: the buffer may move as it grows.
    const char* first = s.texts.data();
    if (std::less_equal<>()(first, text.data()) &&
        std::less<>()(text.data(), first + s.texts.size()))
        return storeText(std::string(text));
    TextSpan span{static_cast<std::uint32_t>(s.texts.size()),
                  static_cast<std::uint32_t>(text.size())};
    s.texts.insert(s.texts.end(), text.begin(), text.end());
    s.live += text.size();
    return span;
}

void LevelTree::replaceText(TextSpan& span, std::string_view text) {
    std::size_t old = span.length;
    span = storeText(text);
    storage_->live -= old;
    compactTexts();
}

void LevelTree::compactTexts() {
    Storage& s = *storage_;
    if (s.texts.size() <= 2 * s.live + kTextSlack)
        return;
    std::vector<char> packed;
    packed.reserve(s.live);
    auto keep = [&](TextSpan& span) {
        std::uint32_t offset = static_cast<std::uint32_t>(packed.size());
        auto from = s.texts.begin() + span.offset;
        packed.insert(packed.end(), from, from + span.length);
        span.offset = offset;
    };
    for (Node* node : order_) {
        keep(node->text_);
        keep(node->groupFolder_);
        keep(node->levelFile_);
    }
    s.texts.swap(packed);
}

void LevelTree::clear() {
    notify([&](LevelTreeObserver* o) { o->beforeReset(); });
    Storage& s = *storage_;
    order_.clear();
    s.root.children_.clear();
    s.slots.clear();
    s.spare.clear();
    s.texts.clear();
    s.live = 0;
    for (auto& table : s.keys)
        table.clear();
    s.keysStale = false;
    selected_ = nullptr;
    notify([&](LevelTreeObserver* o) { o->afterReset(); });
}

void LevelTree::reserve(int nodes) {
    auto n = static_cast<std::size_t>(nodes);
    order_.reserve(n);
    // Most names and file names are a few dozen bytes; most nodes are levels.
    storage_->texts.reserve(n * 40);
    storage_->keys[kindAt(NodeKind::Level)].reserve(n);
}

const LevelTree::Node* LevelTree::add(const Node* relative, Relationship relationship,
                                      NodeKind kind, std::uint32_t number, std::string_view text,
                                      std::string_view entry) {
    if (count() >= format::kMaxNodes)
        return nullptr;
    if (relationship != Relationship::Last && relative == nullptr)
        return nullptr;
    if (find(kind, number) != nullptr)
        return nullptr;

    Node* parent = &storage_->root;
    std::size_t row = parent->children_.size();
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

    Node* added = link(parent, row, {kind, number, text, entry});
    addKey(added);
    return added;
}

const LevelTree::Node* LevelTree::addLoaded(const Node* parent, const NodeContent& content) {
    if (count() >= format::kMaxNodes)
        return nullptr;
    Node* up = parent ? mutableNode(parent) : &storage_->root;
    Node* added = link(up, up->children_.size(), content);
    storage_->keysStale = true;
    return added;
}

// Makes a node and puts it at `row` below `parent` and last in node-index order.
LevelTree::Node* LevelTree::link(Node* parent, std::size_t row, const NodeContent& content) {
    Node* added = newNode(content.kind, content.number);
    added->text_ = storeText(content.text);
    if (content.kind == NodeKind::Group)
        added->groupFolder_ = storeText(content.entry);
    else if (content.kind == NodeKind::Level)
        added->levelFile_ = storeText(content.entry);
    added->parent_ = parent;
    added->index_ = count() + 1;

    notify([&](LevelTreeObserver* o) {
        o->beforeInsert(parentForObserver(parent), static_cast<int>(row));
    });
    order_.push_back(added);
    auto& siblings = parent->children_;
    if (siblings.capacity() == 0)
        siblings.reserve(kFirstChildren);
    added->row_ = static_cast<int>(row);
    if (row == siblings.size()) {
        siblings.push_back(added);
    } else {
        siblings.insert(siblings.begin() + static_cast<std::ptrdiff_t>(row), added);
        for (std::size_t i = row + 1; i < siblings.size(); ++i)
            siblings[i]->row_ = static_cast<int>(i);
    }
    notify([&](LevelTreeObserver* o) { o->afterInsert(); });
    return added;
}

const LevelTree::Node* LevelTree::item(int index) const {
    if (index < 1 || index > count())
        return nullptr;
    return order_[static_cast<std::size_t>(index - 1)];
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

    // Free the node and its descendants, then close the gaps they leave in the node collection.
    std::vector<Node*> pending{target};
    int lowest = target->index_;
    while (!pending.empty()) {
        Node* n = pending.back();
        pending.pop_back();
        lowest = std::min(lowest, n->index_);
        if (selected_ == n)
            selected_ = nullptr;
        pending.insert(pending.end(), n->children_.begin(), n->children_.end());
        freeNode(n);
    }
    auto& siblings = parent->children_;
    siblings.erase(siblings.begin() + static_cast<std::ptrdiff_t>(row));
    for (std::size_t i = row; i < siblings.size(); ++i)
        siblings[i]->row_ = static_cast<int>(i);

    auto first = order_.begin() + (lowest - 1);
    order_.erase(std::remove_if(first, order_.end(), [](const Node* n) { return n->index_ == 0; }),
                 order_.end());
    renumberFrom(lowest - 1);
    dropFreedKeys();
    compactTexts();

    notify([&](LevelTreeObserver* o) { o->afterRemove(); });
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
    order_.erase(order_.begin() + (oldIndex - 1));
    order_.insert(order_.begin() + (index - 1), moving);
    renumberFrom(std::min(oldIndex, index) - 1);
    notify([](LevelTreeObserver* o) { o->afterMove(); });
}

void LevelTree::setText(const Node* node, std::string_view text) {
    if (node == nullptr)
        return;
    replaceText(mutableNode(node)->text_, text);
    notify([&](LevelTreeObserver* o) { o->textChanged(node); });
}

std::string_view LevelTree::groupFolders(int index) const {
    const Node* node = item(index);
    if (node == nullptr)
        return {};
    return {storage_->texts.data() + node->groupFolder_.offset, node->groupFolder_.length};
}

void LevelTree::setGroupFolders(int index, std::string_view folder) {
    if (const Node* node = item(index))
        replaceText(mutableNode(node)->groupFolder_, folder);
}

std::string_view LevelTree::levelFiles(int index) const {
    const Node* node = item(index);
    if (node == nullptr)
        return {};
    return {storage_->texts.data() + node->levelFile_.offset, node->levelFile_.length};
}

void LevelTree::setLevelFiles(int index, std::string_view file) {
    if (const Node* node = item(index))
        replaceText(mutableNode(node)->levelFile_, file);
}

} // namespace quillfen
