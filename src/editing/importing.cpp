#include "editing/importing.h"

#include "command_checks.h"
#include "database/database_format.h"
#include "editing/editing_commands.h"

namespace quillfen {
namespace {

// Adds a level for each of the plan's files below `set`. The step takes back the new set, when
// `newSet`, and its levels with it; else the levels.
EditStep addImported(EditorState& state, UserInterface& ui, const levelfile::ImportPlan& plan,
                     const LevelTree::Node* set, bool newSet) {
    std::vector<std::string> added;
    if (newSet)
        added.push_back(set->key());
    for (const levelfile::PlannedLevel& planned : plan.levels) {
        ++state.levelCount;
        const LevelTree::Node* level =
            state.tree.add(set, LevelTree::Relationship::Child,
                           "level" + std::to_string(state.levelCount), planned.info.title);
        state.tree.setLevelFiles(level->index(), planned.fileName);
        if (!newSet)
            added.push_back(level->key());
    }
    ui.message(std::to_string(plan.levels.size()) + " level(s) added to '" +
               std::string(set->text()) + "'");
    return std::make_unique<AddedNodes>(std::move(added));
}

bool roomAndFiles(EditorState& state, UserInterface& ui, const levelfile::ImportPlan& plan,
                  std::size_t newNodes) {
    if (static_cast<std::size_t>(state.tree.count()) + newNodes >
        static_cast<std::size_t>(format::kMaxNodes)) {
        ui.message(std::string(kTreeFull) + "; nothing was imported");
        return false;
    }
    if (auto written = levelfile::writeImport(plan); !written) {
        ui.message(written.error());
        return false;
    }
    return true;
}

} // namespace

EditStep importPack(EditorState& state, UserInterface& ui, const levelfile::ImportPlan& plan) {
    const LevelTree::Node* set = selectedOfKind(state, ui, NodeKind::Set, kSelectSetForLevels);
    if (set == nullptr || !roomAndFiles(state, ui, plan, plan.levels.size()))
        return nullptr;
    return addImported(state, ui, plan, set, false);
}

EditStep importPackAsSet(EditorState& state, UserInterface& ui, const levelfile::ImportPlan& plan,
                         const std::string& setName) {
    const LevelTree::Node* group = groupForNewSet(state, ui);
    if (group == nullptr || !roomAndFiles(state, ui, plan, plan.levels.size() + 1))
        return nullptr;
    return addImported(state, ui, plan, addSetTo(state, group, setName), true);
}

} // namespace quillfen
