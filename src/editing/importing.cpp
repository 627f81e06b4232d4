#include "editing/importing.h"

#include "command_checks.h"
#include "database/database_format.h"

namespace quillfen {
namespace {

// Adds a level for each of the plan's files below `set`. The step takes back the new set, when
// `newSet`, and its levels with it; else the levels.
EditResult addImported(EditorState& state, const levelfile::ImportPlan& plan,
                       const LevelTree::Node* set, bool newSet) {
    std::vector<std::string> added;
    if (newSet)
        added.push_back(set->key());
    for (const levelfile::PlannedLevel& planned : plan.levels) {
        ++state.levelCount;
        const LevelTree::Node* level = state.tree.add(
            set, LevelTree::Relationship::Child, NodeKind::Level,
            static_cast<std::uint32_t>(state.levelCount), planned.info.title, planned.fileName);
        if (!newSet)
            added.push_back(level->key());
    }
    return {std::make_unique<AddedNodes>(std::move(added)), std::to_string(plan.levels.size()) +
                                                                " level(s) added to '" +
                                                                std::string(set->text()) + "'"};
}

Status roomAndFiles(const EditorState& state, const levelfile::ImportPlan& plan,
                    std::size_t newNodes, levelfile::OnConflict onConflict) {
    for (const levelfile::PlannedLevel& planned : plan.levels)
        if (std::string refusal = fileNameRefusal({planned.fileName, true}); !refusal.empty())
            return Error{refusal};
    if (static_cast<std::size_t>(state.tree.count()) + newNodes >
        static_cast<std::size_t>(format::kMaxNodes))
        return Error{std::string(kTreeFull) + "; nothing was imported"};
    return levelfile::writeImport(plan, onConflict);
}

} // namespace

EditResult importPack(EditorState& state, const levelfile::ImportPlan& plan) {
    auto set = selectedOfKind(state, NodeKind::Set, kSelectSetForLevels);
    if (!set)
        return {nullptr, set.error()};
    if (auto written = roomAndFiles(state, plan, plan.levels.size(), levelfile::OnConflict::Refuse);
        !written)
        return {nullptr, written.error()};
    return addImported(state, plan, *set, false);
}

EditResult importPackAsSet(EditorState& state, const levelfile::ImportPlan& plan,
                           const std::string& setName, levelfile::OnConflict onConflict) {
    auto group = groupForNewSet(state);
    if (!group)
        return {nullptr, group.error()};
    if (auto written = roomAndFiles(state, plan, plan.levels.size() + 1, onConflict); !written)
        return {nullptr, written.error()};
    return addImported(state, plan, addSetTo(state, *group, setName), true);
}

} // namespace quillfen
