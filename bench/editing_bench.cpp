// Each editing command on the largest profile, one command a timed iteration: the tree is
// rebuilt between iterations, untimed, so every run meets the worst case (the first group's
// nodes hold the lowest indexes, so a removal there moves every later node down).
#include "database/scripted_user_interface.h"
#include "edit_command.h"
#include "editing/editing_commands.h"
#include "levelfile/level_file.h"
#include "max_tree.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <fstream>

namespace {

using namespace quillfen;
using bench::Command;

const std::string& levelFolder() {
    static const std::string folder = [] {
        auto path = std::filesystem::temp_directory_path() / "quillfen-bench-levels";
        std::filesystem::create_directories(path);
        // A Windows level file: 2048 bytes, the first of them 0.
        std::string level(levelfile::kLevelFileSize, 'x');
        level[0] = '\0';
        std::ofstream(path / "level1.lvl", std::ios::binary) << level;
        return path.string();
    }();
    return folder;
}

// The largest profile, or one node short of it for the commands that add a node.
void fill(EditorState& state, bool roomForOne) {
    state.tree = bench::makeMaxTree();
    if (roomForOne)
        state.tree.remove(state.tree.item(state.tree.count()));
    state.groupCount = state.setCount = 0;
    state.levelCount = 0;
    for (int i = 1; i <= state.tree.count(); ++i) {
        NodeKind kind = state.tree.item(i)->kind();
        kind == NodeKind::Group ? ++state.groupCount
        : kind == NodeKind::Set ? ++state.setCount
                                : ++state.levelCount;
    }
}

void BM_EditCommands(benchmark::State& bench, Command command) {
    EditorState state;
    ScriptedUserInterface ui;
    DetailPanel panel;
    const LevelFileList files{levelFolder(), {"level1.lvl"}, {true}, 0};
    bool adds = bench::addsNodes(command);
    for (auto _ : bench) {
        bench.PauseTiming();
        fill(state, adds);
        state.tree.select(bench::targetOf(state.tree, command));
        ui.messages.clear();
        ui.questions.clear();
        bench.ResumeTiming();

        switch (command) {
        case Command::DeleteFirstGroup:
            deleteGroup(state, ui);
            break;
        case Command::DeleteFirstSet:
            deleteSet(state, ui);
            break;
        case Command::DeleteFirstLevel:
            deleteLevel(state, ui);
            break;
        case Command::MoveUp:
            moveUp(state, ui);
            break;
        case Command::MoveDown:
            moveDown(state, ui);
            break;
        case Command::AddGroup:
            addGroup(state, ui);
            break;
        case Command::AddSet:
            addSet(state, ui);
            break;
        case Command::AddSelectedLevel:
            addSelectedLevels(state, ui, files);
            break;
        case Command::UpdateFolder:
            updateFolder(state, ui, {"NEWFOLDER", true});
            break;
        case Command::UpdateFileName:
            updateFileName(state, ui, {"new.lvl", true});
            break;
        case Command::Rename:
            renameNode(state, ui, state.tree.selected(), {"Renamed", true});
            break;
        case Command::TreeClick:
            TreeView1_Click(state, levelFolder(), panel);
            break;
        }
        benchmark::DoNotOptimize(state.tree.count());
    }
}

// Every command is timed a few hundred times; the rebuild between them is not timed.
#define EDIT_COMMAND(name, command)                                                                \
    BENCHMARK_CAPTURE(BM_EditCommands, name, Command::command)                                     \
        ->Iterations(300)                                                                          \
        ->Unit(benchmark::kMicrosecond)

EDIT_COMMAND(delete_first_group, DeleteFirstGroup);
EDIT_COMMAND(delete_first_set, DeleteFirstSet);
EDIT_COMMAND(delete_first_level, DeleteFirstLevel);
EDIT_COMMAND(move_up, MoveUp);
EDIT_COMMAND(move_down, MoveDown);
EDIT_COMMAND(add_group, AddGroup);
EDIT_COMMAND(add_set, AddSet);
EDIT_COMMAND(add_selected_level, AddSelectedLevel);
EDIT_COMMAND(update_folder, UpdateFolder);
EDIT_COMMAND(update_file_name, UpdateFileName);
EDIT_COMMAND(rename, Rename);
EDIT_COMMAND(tree_click, TreeClick);

} // namespace
