// The Editor's work beside a window's thread: the profile check, on the window's thread for a
// short profile and for the command line, beside it for a long one; and the same for the count
// of a folder's level files.
#include "editor/editor.h"
#include "levelfile/level_file.h"

#include <algorithm>

namespace quillfen {
namespace {

// From this many nodes on, a window checks the profile beside its thread: the check of 3,620
// levels takes about 80 ms, longer than an edit may keep the window waiting.
constexpr int kLongProfile = 500;
// Up to this many files a folder's level files are counted at once: each file is opened, about
// 0.25 ms apiece under Wine, so that 10,000 files take 2.5 s.
constexpr std::size_t kLargeFolder = 200;

// The count label of `names`, .lvl files of `folder`: how many of them are Windows level files.
std::string levelCountText(const std::string& folder, const std::vector<std::string>& names) {
    const auto count = std::count_if(names.begin(), names.end(), [&](const std::string& name) {
        return static_cast<bool>(levelfile::checkLevelFile(levelfile::levelFilePath(folder, name)));
    });
    return std::to_string(count) + (count == 1 ? " level found" : " levels found");
}

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

void Editor::workBeside(std::function<void()> ready) {
    checks_ = std::make_unique<ProfileChecks>(
        [](CheckRequest& request) { return checkProfile(request.tree, request.game); }, ready);
    counts_ = std::make_unique<LevelCounts>(
        [](CountRequest& request) { return levelCountText(request.folder, request.names); },
        std::move(ready));
}

std::string Editor::countLevels(const std::string& folder, const std::vector<std::string>& names) {
    // Whatever a count still running finds, it is of a folder no longer listed.
    if (counts_)
        counts_->forget();
    if (!counts_ || names.size() <= kLargeFolder)
        return levelCountText(folder, names);
    counts_->ask({folder, names});
    return "Counting the levels of " + std::to_string(names.size()) + " files...";
}

std::optional<std::string> Editor::takeLevelCount() {
    return counts_ ? counts_->take() : std::nullopt;
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
