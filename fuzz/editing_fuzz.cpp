// A run of editing commands, chosen, aimed and answered by the input, on a small loaded profile:
// whatever they leave is saved as a well-formed file that loads and saves to the same bytes.
#include "database/database_check.h"
#include "database/database_reader.h"
#include "database/database_writer.h"
#include "database/scripted_user_interface.h"
#include "editing/editing_commands.h"
#include "fuzz_support.h"

#include <cstdint>
#include <filesystem>
#include <fuzzer/FuzzedDataProvider.h>

using namespace quillfen;
using fuzz::require;

namespace {

// Two groups, with sets and levels, saved and loaded as Load Profile does.
EditorState loadedProfile() {
    using R = LevelTree::Relationship;
    LevelTree tree;
    const auto* easy = tree.add(nullptr, R::Last, "root1", "EASY PACK");
    tree.setGroupFolders(easy->index(), "EASY");
    const auto* set = tree.add(easy, R::Child, "parent1", "FIRST SET");
    for (int i = 1; i <= 3; ++i) {
        const auto* level =
            tree.add(set, R::Child, "level" + std::to_string(i), "Level " + std::to_string(i));
        tree.setLevelFiles(level->index(), "e" + std::to_string(i) + ".lvl");
    }
    tree.add(easy, R::Child, "parent2", "EMPTY SET");
    const auto* hard = tree.add(nullptr, R::Last, "root2", "HARD");
    tree.setGroupFolders(hard->index(), "HARD");
    EditorState state;
    require(loadDatabaseImage(state, encodeDatabase(tree)).ok(), "the start profile loads");
    return state;
}

// The level-file list: three level files and one name whose file has gone.
const LevelFileList& levelFiles() {
    static const LevelFileList list = [] {
        LevelFileList files{fuzz::workFolder() + "/levels", {}, {}, -1};
        std::filesystem::create_directories(files.folder);
        for (std::string name : {"a.lvl", "b.lvl", "gone.lvl", "c.lvl"}) {
            files.names.push_back(name);
            if (name == "gone.lvl")
                continue;
            std::string bytes(2048, '\0');
            bytes.replace(2016, 32, ("TITLE " + name + std::string(32, ' ')).substr(0, 32));
            fuzz::writeFile(files.folder + "/" + name, bytes);
        }
        return files;
    }();
    return list;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    EditorState state = loadedProfile();
    ScriptedUserInterface ui;
    for (int step = 0; step < 64 && input.remaining_bytes() > 0; ++step) {
        int count = state.tree.count();
        int index = input.ConsumeIntegralInRange<int>(0, count);
        state.tree.select(state.tree.item(index)); // 0: nothing selected
        ui.defaultConfirmation = input.ConsumeBool();
        TextAnswer text{input.ConsumeRandomLengthString(48), input.ConsumeIntegral<uint8_t>() > 16};
        ui.inputs = {text};
        switch (input.ConsumeIntegralInRange<int>(0, 10)) {
        case 0:
            addGroup(state, ui);
            break;
        case 1:
            addSet(state, ui);
            break;
        case 2: {
            LevelFileList files = levelFiles();
            for (std::size_t i = 0; i < files.names.size(); ++i)
                files.selected.push_back(input.ConsumeBool());
            addSelectedLevels(state, ui, files);
            break;
        }
        case 3:
            deleteGroup(state, ui);
            break;
        case 4:
            deleteSet(state, ui);
            break;
        case 5:
            deleteLevel(state, ui);
            break;
        case 6:
            moveUp(state, ui);
            break;
        case 7:
            moveDown(state, ui);
            break;
        case 8:
            updateFolder(state, ui, text);
            break;
        case 9:
            updateFileName(state, ui, text);
            break;
        default:
            renameNode(state, ui, state.tree.selected(), text);
            break;
        }
    }

    if (state.tree.empty())
        return 0;
    auto saved = encodeDatabase(state.tree);
    require(checkDatabaseFile(saved).empty(), "a saved profile is well formed");
    EditorState loaded;
    require(loadDatabaseImage(loaded, saved).ok(), "a saved profile loads");
    require(loaded.tree.count() == state.tree.count(), "the load keeps every node");
    require(encodeDatabase(loaded.tree) == saved, "saving what was loaded writes the same bytes");
    return 0;
}
