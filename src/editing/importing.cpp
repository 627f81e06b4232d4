#include "editing/importing.h"

#include "command_checks.h"
#include "database/database_format.h"
#include "editing/editing_commands.h"

namespace quillfen {

bool importPack(EditorState& state, UserInterface& ui, const levelfile::ImportPlan& plan) {
    const LevelTree::Node* set =
        selectedOfKind(state, ui, NodeKind::Set, "you must first select a set to add levels to");
    if (set == nullptr)
        return false;
    if (static_cast<std::size_t>(state.tree.count()) + plan.levels.size() >
        static_cast<std::size_t>(format::kMaxNodes)) {
        ui.message(std::string(kTreeFull) + "; nothing was imported");
        return false;
    }
    if (auto written = levelfile::writeImport(plan); !written) {
        ui.message(written.error());
        return false;
    }
    for (const levelfile::PlannedLevel& planned : plan.levels) {
        ++state.levelCount;
        const LevelTree::Node* level =
            state.tree.add(set, LevelTree::Relationship::Child,
                           "level" + std::to_string(state.levelCount), planned.info.title);
        state.tree.setLevelFiles(level->index(), planned.fileName);
    }
    ui.message(std::to_string(plan.levels.size()) + " level(s) added to '" + set->text() + "'");
    return true;
}

} // namespace quillfen
