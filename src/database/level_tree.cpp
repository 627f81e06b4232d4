#include "database/level_tree.h"

#include "database/database_format.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <functional>
#include <optional>
#include <span>
#include <utility>

namespace quillfen {
namespace {

// Indexed by NodeKind.
constexpr std::array<std::string_view, 3> kKindWords = {"root", "parent", "level"};

std::size_t kindAt(NodeKind kind) {
    return static_cast<std::size_t>(kind);
}

std::string keyOf(NodeKind kind, std::uint32_t number) {
    std::string key(kKindWords[kindAt(kind)]);
    key += std::to_string(number);
    return key;
}

struct Key {
    NodeKind kind;
    std::uint32_t number;
};

// A key has one spelling: the kind word, then the number without leading zeros.
std::optional<Key> parseKey(std::string_view key) {
    for (std::size_t kind = 0; kind < kKindWords.size(); ++kind) {
        if (!key.starts_with(kKindWords[kind]))
            continue;
        std::string_view digits = key.substr(kKindWords[kind].size());
        const char* end = digits.data() + digits.size();
        std::uint32_t number = 0;
        auto [stop, error] = std::from_chars(digits.data(), end, number);
        if (error != std::errc() || stop != end || (digits.size() > 1 && digits[0] == '0'))
            return std::nullopt;
        return Key{static_cast<NodeKind>(kind), number};
    }
    return std::nullopt;
}

// Replaced and removed texts stay in a tree's buffer until they outweigh the live ones by this
// much; then the buffer is packed again.
constexpr std::size_t kTextSlack = 4096;

// Sets rarely hold more levels than this: room for them at the first child spares regrowing.
constexpr std::size_t kFirstChildren = 32;

} // namespace

std::string LevelTreeNode::key() const {
    return keyOf(kind_, number_);
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

std::string DetachedSubtree::key() const {
    return nodes_.empty() ? std::string() : keyOf(nodes_.front().kind, nodes_.front().number);
}

struct LevelTree::Storage {
    Node root; // hidden; its children are the groups
    // Reserved for the most nodes a tree holds when the first is made, so that nodes never move;
    // slots of removed nodes wait in `spare` for reuse.
    std::vector<Node> slots;
    std::vector<Node*> spare;
    // Every node's text and table entries; `live` counts the bytes that nodes still use.
    std::vector<char> texts;
    std::size_t live = 0;
    // A table a kind, sorted by number; a node is named by its slot, which halves the table.
    struct Entry {
        std::uint32_t number;
        std::uint32_t slot;
    };
    Entry entry(const Node* node) const {
        return {node->number_, static_cast<std::uint32_t>(node - slots.data())};
    }
    std::array<std::vector<Entry>, 3> keys;
    // Nodes added by a load are not in `keys` yet.
    bool keysStale = false;
};

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

template <class Event> void LevelTree::notify(const Event& event) const {
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
    for (std::size_t i = static_cast<std::size_t>(position); i < order_.size(); ++i)
        order_[i]->index_ = static_cast<int>(i) + 1;
}

const LevelTree::Node* LevelTree::parentForObserver(const Node* parent) const {
    return parent == &storage_->root ? nullptr : parent;
}

inline LevelTree::Node* LevelTree::newNode(NodeKind kind, std::uint32_t number) {
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

void LevelTree::ensureKeys() const {
    Storage& s = *storage_;
    if (!s.keysStale)
        return;
    s.keysStale = false;
    for (auto& table : s.keys)
        table.clear();
    for (const Node* node : order_)
        s.keys[kindAt(node->kind_)].push_back(s.entry(node));
    auto byNumber = [](const Storage::Entry& a, const Storage::Entry& b) {
        return a.number < b.number;
    };
    for (auto& table : s.keys)
        if (!std::is_sorted(table.begin(), table.end(), byNumber))
            std::sort(table.begin(), table.end(), byNumber);
}

inline LevelTree::Node* LevelTree::find(NodeKind kind, std::uint32_t number) const {
    ensureKeys();
    const auto& table = storage_->keys[kindAt(kind)];
    // Keys are mostly made with rising numbers.
    if (table.empty() || table.back().number < number)
        return nullptr;
    auto at =
        std::lower_bound(table.begin(), table.end(), number,
                         [](const Storage::Entry& e, std::uint32_t n) { return e.number < n; });
    return at != table.end() && at->number == number ? &storage_->slots[at->slot] : nullptr;
}

inline void LevelTree::addKey(Node* node) {
    ensureKeys();
    auto& table = storage_->keys[kindAt(node->kind_)];
    Storage::Entry entry = storage_->entry(node);
    // A new node mostly has the highest number of its kind.
    if (table.empty() || table.back().number < entry.number) {
        table.push_back(entry);
        return;
    }
    table.insert(std::lower_bound(table.begin(), table.end(), entry,
                                  [](const Storage::Entry& a, const Storage::Entry& b) {
                                      return a.number < b.number;
                                  }),
                 entry);
}

void LevelTree::addKeys(std::span<Node* const> nodes) {
    ensureKeys();
    auto& keys = storage_->keys;
    std::array<std::size_t, 3> before{};
    for (std::size_t k = 0; k < keys.size(); ++k)
        before[k] = keys[k].size();
    for (Node* node : nodes)
        keys[kindAt(node->kind_)].push_back(storage_->entry(node));
    auto byNumber = [](const Storage::Entry& a, const Storage::Entry& b) {
        return a.number < b.number;
    };
    for (std::size_t k = 0; k < keys.size(); ++k) {
        auto& table = keys[k];
        auto added = table.begin() + static_cast<std::ptrdiff_t>(before[k]);
        std::sort(added, table.end(), byNumber);
        if (added != table.begin() && added != table.end() && added->number < (added - 1)->number)
            std::inplace_merge(table.begin(), added, table.end(), byNumber);
    }
}

void LevelTree::dropFreedKeys() {
    ensureKeys();
    Storage& s = *storage_;
    for (auto& table : s.keys)
        std::erase_if(table, [&](const Storage::Entry& e) { return s.slots[e.slot].index_ == 0; });
}

inline TextSpan LevelTree::storeText(std::string_view text) {
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
                                      std::string_view key, std::string_view text) {
    auto parsed = parseKey(key);
    if (!parsed)
        return nullptr;
    return add(relative, relationship, parsed->kind, parsed->number, text);
}

const LevelTree::Node* LevelTree::add(std::string_view relativeKey, Relationship relationship,
                                      std::string_view key, std::string_view text) {
    const Node* relative = find(relativeKey);
    if (relative == nullptr && relationship != Relationship::Last)
        return nullptr;
    return add(relative, relationship, key, text);
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

const LevelTree::Node* LevelTree::find(std::string_view key) const {
    auto parsed = parseKey(key);
    return parsed ? find(parsed->kind, parsed->number) : nullptr;
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

DetachedSubtree LevelTree::detach(const Node* node) {
    DetachedSubtree subtree;
    if (node == nullptr)
        return subtree;
    if (const Node* parent = node->parent()) {
        subtree.hasParent_ = true;
        subtree.parentKind_ = parent->kind_;
        subtree.parentNumber_ = parent->number_;
    }
    subtree.row_ = node->row_;
    auto copy = [&](TextSpan span) {
        TextSpan copied{static_cast<std::uint32_t>(subtree.texts_.size()), span.length};
        subtree.texts_.append(storage_->texts.data() + span.offset, span.length);
        return copied;
    };
    // Depth first, children in row order, so that putting them back in this order gives each
    // parent its children in their rows.
    std::vector<std::pair<const Node*, int>> pending{{node, -1}};
    while (!pending.empty()) {
        auto [n, parentAt] = pending.back();
        pending.pop_back();
        int at = static_cast<int>(subtree.nodes_.size());
        subtree.nodes_.push_back({n->kind_, n->number_, copy(n->text_), copy(n->groupFolder_),
                                  copy(n->levelFile_), n->index_, parentAt});
        for (auto child = n->children_.rbegin(); child != n->children_.rend(); ++child)
            pending.emplace_back(*child, at);
    }
    remove(node);
    return subtree;
}

const LevelTree::Node* LevelTree::restore(DetachedSubtree subtree) {
    const auto& detached = subtree.nodes_;
    if (detached.empty() || count() + static_cast<int>(detached.size()) > format::kMaxNodes)
        return nullptr;
    Node* parent =
        subtree.hasParent_ ? find(subtree.parentKind_, subtree.parentNumber_) : &storage_->root;
    if (parent == nullptr || subtree.row_ > parent->children() ||
        std::any_of(detached.begin(), detached.end(),
                    [&](const auto& n) { return find(n.kind, n.number) != nullptr; }))
        return nullptr;

    notify([&](LevelTreeObserver* o) { o->beforeInsert(parentForObserver(parent), subtree.row_); });
    auto textOf = [&](TextSpan span) {
        return std::string_view(subtree.texts_).substr(span.offset, span.length);
    };
    std::vector<Node*> made;
    made.reserve(detached.size());
    for (const auto& d : detached) {
        Node* node = newNode(d.kind, d.number);
        node->text_ = storeText(textOf(d.text));
        node->groupFolder_ = storeText(textOf(d.groupFolder));
        node->levelFile_ = storeText(textOf(d.levelFile));
        node->index_ = d.index;
        if (d.parent >= 0) {
            Node* up = made[static_cast<std::size_t>(d.parent)];
            node->parent_ = up;
            node->row_ = up->children();
            up->children_.push_back(node);
        }
        made.push_back(node);
    }
    Node* top = made.front();
    top->parent_ = parent;
    auto& siblings = parent->children_;
    siblings.insert(siblings.begin() + subtree.row_, top);
    for (std::size_t i = static_cast<std::size_t>(subtree.row_); i < siblings.size(); ++i)
        siblings[i]->row_ = static_cast<int>(i);

    // Back into the node collection at their old indexes, in one pass over the nodes that stayed.
    std::vector<Node*> byIndex = made;
    std::sort(byIndex.begin(), byIndex.end(),
              [](const Node* a, const Node* b) { return a->index_ < b->index_; });
    std::vector<Node*> merged;
    merged.reserve(order_.size() + made.size());
    auto stayed = order_.begin();
    for (Node* node : byIndex) {
        while (stayed != order_.end() && static_cast<int>(merged.size()) + 1 < node->index_)
            merged.push_back(*stayed++);
        merged.push_back(node);
    }
    merged.insert(merged.end(), stayed, order_.end());
    order_.swap(merged);
    renumberFrom(0);
    addKeys(made);
    notify([](LevelTreeObserver* o) { o->afterInsert(); });
    return top;
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
