#include "database/database_format.h"
#include "database/level_tree.h"
#include "database/level_tree_storage.h"

#include <algorithm>
#include <utility>

// Taking a subtree out of a tree and putting it back where it stood, for undo.
namespace quillfen {

std::string DetachedSubtree::key() const {
    return nodes_.empty() ? std::string() : keyOf(nodes_.front().kind, nodes_.front().number);
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

} // namespace quillfen
