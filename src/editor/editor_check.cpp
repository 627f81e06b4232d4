// The Editor's profile check: on the window's thread for a short profile and for the command
// line, beside it for a long one.
#include "editor/editor.h"

namespace quillfen {
namespace {

// From this many nodes on, a window checks the profile beside its thread: the check of 3,620
// levels takes about 80 ms, longer than an edit may keep the window waiting.
constexpr int kLongProfile = 500;

// The copy the worker checks: the same keys, texts, folders and file names in the same order, so
// that what it finds names the nodes of the tree it was made from.
LevelTree copyOf(const LevelTree& tree) {
    LevelTree copy;
    copy.reserve(tree.count());
    auto add = [&](auto& self, const LevelTree::Node* node, const LevelTree::Node* parent) -> void {
        std::string_view entry = node->kind() == NodeKind::Group ? tree.groupFolders(node->index())
                                 : node->kind() == NodeKind::Level ? tree.levelFiles(node->index())
                                                                   : std::string_view();
        const LevelTree::Node* added =
            copy.addLoaded(parent, {node->kind(), node->number(), node->text(), entry});
        for (int row = 0; row < node->children(); ++row)
            self(self, node->child(row), added);
    };
    for (const LevelTree::Node* group : tree.topLevel())
        add(add, group, nullptr);
    return copy;
}

} // namespace

void Editor::checkBeside(std::function<void()> ready) {
    checks_ = std::make_unique<ProfileChecks>(
        [](CheckRequest& request) { return checkProfile(request.tree, request.game); },
        std::move(ready));
}

bool Editor::takeCheck() {
    if (!checks_)
        return false;
    std::optional<std::vector<ProfileProblem>> found = checks_->take();
    if (!found)
        return false;
    problems_ = std::move(*found);
    return true;
}

void Editor::recheck() {
    // Whatever a check still running finds, this one's answer stands.
    if (checks_)
        checks_->forget();
    if (!gameFolder_ || !profileLoaded(state_)) {
        problems_.clear();
        return;
    }
    if (checks_ && state_.tree.count() >= kLongProfile) {
        checks_->ask({copyOf(state_.tree), *gameFolder_});
        return;
    }
    problems_ = checkProfile(state_.tree, *gameFolder_);
}

} // namespace quillfen
