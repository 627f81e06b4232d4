#include "editing/importing.h"

#include "common/windows1252.h"
#include "database/database_format.h"
#include "editing/command_checks.h"

#include <algorithm>

namespace quillfen {

Result<const LevelTree::Node*> importTarget(const EditorState& state,
                                            const levelfile::ImportPlan& plan, bool newSet) {
    auto target =
        newSet ? groupForNewSet(state) : selectedOfKind(state, NodeKind::Set, kSelectSetForLevels);
    if (!target)
        return target;
    for (const levelfile::PlannedLevel& planned : plan.levels)
        if (std::string refusal = fileNameRefusal({planned.fileName, true}); !refusal.empty())
            return Error{refusal};
    if (static_cast<std::size_t>(state.tree.count()) + plan.levels.size() + (newSet ? 1 : 0) >
        static_cast<std::size_t>(format::kMaxNodes))
        return Error{std::string(kTreeFull) + "; nothing was imported"};
    return target;
}

const LevelTree::Node* setImportedBefore(const EditorState& state,
                                         const levelfile::ImportPlan& plan,
                                         const LevelTree::Node* group) {
    const auto& levels = plan.levels;
    if (levels.empty() ||
        !std::all_of(levels.begin(), levels.end(), [](const auto& level) { return level.reused; }))
        return nullptr;
    for (int row = 0; row < group->children(); ++row) {
        const LevelTree::Node* set = group->child(row);
        if (set->children() != static_cast<int>(levels.size()))
            continue;
        bool same = true;
        for (int i = 0; i < set->children() && same; ++i)
            same = state.levelFiles(set->child(i)->index()) == levels[i].fileName;
        if (same)
            return set;
    }
    return nullptr;
}

EditResult addImported(EditorState& state, const levelfile::ImportPlan& plan,
                       const LevelTree::Node* target, const std::string& setName) {
    std::vector<AddedNodes::NewNode> nodes;
    if (target->kind() == NodeKind::Group)
        nodes.push_back(newSet(state, target, setName));
    const std::string setKey =
        nodes.empty() ? target->key() : keyOf(NodeKind::Set, nodes.front().number);
    const std::string set = nodes.empty() ? std::string(target->text()) : setName;
    for (const levelfile::PlannedLevel& planned : plan.levels) {
        ++state.levelCount;
        nodes.push_back({setKey, NodeKind::Level, static_cast<std::uint32_t>(state.levelCount),
                         planned.info.title, planned.fileName});
    }
    return {addNodes(state, std::move(nodes)), std::to_string(plan.levels.size()) +
                                                   " level(s) added to '" + windows1252ToUtf8(set) +
                                                   "'"};
}

} // namespace quillfen
