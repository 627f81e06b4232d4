#include "database/level_tree.h"
#include "database/level_tree_storage.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <span>

// The spelling of keys and the tables that find a node by its key.
namespace quillfen {
namespace {

// Indexed by NodeKind.
constexpr std::array<std::string_view, 3> kKindWords = {"root", "parent", "level"};

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

} // namespace

std::string keyOf(NodeKind kind, std::uint32_t number) {
    std::string key(kKindWords[kindAt(kind)]);
    key += std::to_string(number);
    return key;
}

std::string LevelTreeNode::key() const {
    return keyOf(kind_, number_);
}

const LevelTree::Node* LevelTree::find(std::string_view key) const {
    auto parsed = parseKey(key);
    return parsed ? find(parsed->kind, parsed->number) : nullptr;
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

LevelTree::Node* LevelTree::find(NodeKind kind, std::uint32_t number) const {
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

void LevelTree::addKey(Node* node) {
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

} // namespace quillfen
