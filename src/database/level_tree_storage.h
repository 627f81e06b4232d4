#pragma once

#include "database/level_tree.h"

#include <array>
#include <cstddef>
#include <string>
#include <vector>

// What the LevelTree's source files share: the storage behind a tree and the spelling of keys.
namespace quillfen {

// Tables and arrays indexed by NodeKind.
inline std::size_t kindAt(NodeKind kind) {
    return static_cast<std::size_t>(kind);
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

template <class Event> void LevelTree::notify(const Event& event) const {
    for (LevelTreeObserver* observer : observers_)
        event(observer);
}

} // namespace quillfen
