// Each editing action of the Editor on the largest profile, one action a timed iteration: the
// profile is loaded again between iterations, untimed, so every run meets the worst case (the
// first group's nodes hold the lowest indexes, so a removal there moves every later node down).
#include "database/database_writer.h"
#include "edit_command.h"
#include "editor/editor.h"
#include "host/file_write.h"
#include "levelfile/level_file.h"
#include "max_tree.h"
#include "profiles/profile_store.h"
#include "scripted_user_interface.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <fstream>

namespace {

using namespace quillfen;
using bench::Command;

struct Files {
    std::string levels;
    std::string full;    // the largest profile
    std::string oneLess; // one node short of it
};

const Files& files() {
    static const Files made = [] {
        auto path = std::filesystem::temp_directory_path() / "quillfen-bench-levels";
        std::filesystem::create_directories(path);
        // A Windows level file: 2048 bytes, the first of them 0.
        std::string level(levelfile::kLevelFileSize, 'x');
        level[0] = '\0';
        std::ofstream(path / "level1.lvl", std::ios::binary) << level;
        Files f{path.string(), (path / "FULL.DAT").string(), (path / "ONELESS.DAT").string()};
        LevelTree tree = bench::makeMaxTree();
        (void)writeFile(f.full, encodeDatabase(tree), {.sync = false});
        tree.remove(tree.item(tree.count()));
        (void)writeFile(f.oneLess, encodeDatabase(tree), {.sync = false});
        return f;
    }();
    return made;
}

Outcome run(Editor& editor, Command command) {
    switch (command) {
    case Command::DeleteFirstGroup:
        return editor.deleteGroup();
    case Command::DeleteFirstSet:
        return editor.deleteSet();
    case Command::DeleteFirstLevel:
        return editor.deleteLevel();
    case Command::MoveUp:
        return editor.moveUp();
    case Command::MoveDown:
        return editor.moveDown();
    case Command::AddGroup:
        return editor.addGroup();
    case Command::AddSet:
        return editor.addSet();
    case Command::AddSelectedLevel:
        return editor.addSelectedLevels({{{"level1.lvl", true}}, {true}, 0});
    case Command::UpdateFolder:
        return editor.updateFolder({"NEWFOLDER", true});
    case Command::UpdateFileName:
        return editor.updateFileName({"new.lvl", true});
    case Command::Rename:
        return editor.rename(editor.tree().selected(), {"Renamed", true});
    case Command::TreeClick:
        break;
    }
    return editor.clickNode(editor.tree().selected());
}

// An editor on the largest profile (one node short for the actions that add one), with the
// action's node selected.
void prepare(Editor& editor, Command command) {
    (void)editor.openFile(bench::addsNodes(command) ? files().oneLess : files().full);
    editor.openFolder(files().levels);
    editor.clickNode(bench::targetOf(editor.tree(), command));
}

void BM_EditCommands(benchmark::State& bench, Command command) {
    WinePrefixStore store("/nonexistent");
    ScriptedUserInterface ui;
    Editor editor(store, ui);
    for (auto _ : bench) {
        bench.PauseTiming();
        prepare(editor, command);
        ui.messages.clear();
        ui.questions.clear();
        bench.ResumeTiming();
        benchmark::DoNotOptimize(run(editor, command).done);
    }
}

// Undo of the deletion of the first group of the largest tree: its 211 nodes go back below the
// lowest indexes, moving every other node up.
void BM_UndoDeleteFirstGroup(benchmark::State& bench) {
    WinePrefixStore store("/nonexistent");
    ScriptedUserInterface ui;
    Editor editor(store, ui);
    for (auto _ : bench) {
        bench.PauseTiming();
        prepare(editor, Command::DeleteFirstGroup);
        (void)editor.deleteGroup();
        bench.ResumeTiming();
        benchmark::DoNotOptimize(editor.undo().done);
    }
}
BENCHMARK(BM_UndoDeleteFirstGroup)->Iterations(300)->Unit(benchmark::kMicrosecond);

// Every command is timed a few hundred times; the reload between them is not timed.
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
