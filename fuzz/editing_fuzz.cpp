// A run of the editor's actions, undos and redos, chosen, aimed and answered by the input, on a
// small loaded profile: an undo gives back the file of before its edit, and whatever is left is
// saved as a well-formed file that loads and saves to the same bytes.
#include "database/database_check.h"
#include "database/database_reader.h"
#include "database/database_writer.h"
#include "editor/editor.h"
#include "fuzz_support.h"
#include "profiles/profile_store.h"
#include "scripted_user_interface.h"

#include <cstdint>
#include <filesystem>
#include <fuzzer/FuzzedDataProvider.h>

using namespace quillfen;
using fuzz::require;

namespace {

// Two groups, with sets and levels, as a profile file the editor loads.
const std::string& profileFile() {
    static const std::string path = [] {
        using R = LevelTree::Relationship;
        LevelTree tree;
        const auto* easy = tree.add(nullptr, R::Last, "root1", "EASY PACK");
        tree.setGroupFolders(easy->index(), "EASY");
        const auto* set = tree.add(easy, R::Child, "parent1", "FIRST SET");
        for (int i = 1; i <= 3; ++i) {
            const auto* level =
                tree.add(set, R::Child, "level" + std::to_string(i), "Level " + std::to_string(i));
            std::string file = "e";
            tree.setLevelFiles(level->index(), file.append(std::to_string(i)).append(".lvl"));
        }
        tree.add(easy, R::Child, "parent2", "EMPTY SET");
        const auto* hard = tree.add(nullptr, R::Last, "root2", "HARD");
        tree.setGroupFolders(hard->index(), "HARD");
        auto bytes = encodeDatabase(tree);
        std::string file = fuzz::workFolder() + "/USER.DAT";
        fuzz::writeFile(file, {reinterpret_cast<const char*>(bytes.data()), bytes.size()});
        return file;
    }();
    return path;
}

// The level-file list: three level files and one name whose file has gone.
struct LevelFolderFiles {
    std::string folder;
    std::vector<std::string> names;
};

const LevelFolderFiles& levelFiles() {
    static const LevelFolderFiles list = [] {
        LevelFolderFiles files{fuzz::workFolder() + "/levels", {}};
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
    ScriptedUserInterface ui;
    WinePrefixStore store(fuzz::workFolder() + "/no-prefix");
    Editor editor(store, ui);
    require(editor.openFile(profileFile()).ok(), "the start profile loads");
    editor.openFolder(levelFiles().folder);
    // The file of the tree before each edit that can be undone, and before and after each one
    // undone that can be redone.
    std::vector<std::vector<unsigned char>> before;
    std::vector<std::pair<std::vector<unsigned char>, std::vector<unsigned char>>> undone;
    for (int step = 0; step < 64 && input.remaining_bytes() > 0; ++step) {
        const LevelTree& tree = editor.tree();
        editor.clickNode(tree.item(input.ConsumeIntegralInRange<int>(0, tree.count())));
        ui.defaultConfirmation = input.ConsumeBool();
        TextAnswer text{input.ConsumeRandomLengthString(48), input.ConsumeIntegral<uint8_t>() > 16};
        ui.inputs = {text};
        auto was = encodeDatabase(tree);
        Outcome outcome;
        switch (input.ConsumeIntegralInRange<int>(0, 12)) {
        case 0:
            outcome = editor.addGroup();
            break;
        case 1:
            outcome = editor.addSet();
            break;
        case 2: {
            FileListSelection files;
            for (const std::string& name : levelFiles().names) {
                files.names.push_back({name, true});
                files.selected.push_back(input.ConsumeBool());
            }
            outcome = editor.addSelectedLevels(files);
            break;
        }
        case 3:
            outcome = editor.deleteSelected();
            break;
        case 4:
            outcome = editor.moveUp();
            break;
        case 5:
            outcome = editor.moveDown();
            break;
        case 6:
            outcome = editor.updateFolder(text);
            break;
        case 7:
            outcome = editor.updateFileName(text);
            break;
        case 8:
            outcome = editor.rename(tree.selected(), text);
            break;
        case 9:
            outcome = editor.dropLevel(tree.selected(), input.ConsumeIntegralInRange<int>(-1, 8));
            break;
        case 10:
        case 11:
            if (editor.undo().done) {
                require(encodeDatabase(tree) == before.back(), "an undo gives back the file");
                undone.push_back({std::move(before.back()), std::move(was)});
                before.pop_back();
            }
            continue;
        default:
            if (editor.redo().done) {
                require(encodeDatabase(tree) == undone.back().second, "a redo makes it again");
                before.push_back(std::move(undone.back().first));
                undone.pop_back();
            }
            continue;
        }
        if (outcome.done) {
            before.push_back(std::move(was));
            undone.clear();
        }
    }

    const LevelTree& tree = editor.tree();
    if (tree.empty())
        return 0;
    auto saved = encodeDatabase(tree);
    require(checkDatabaseFile(saved).empty(), "a saved profile is well formed");
    auto loaded = parseProfileFile(saved);
    require(loaded.ok(), "a saved profile loads");
    require(loaded->tree.count() == tree.count(), "the load keeps every node");
    require(encodeDatabase(loaded->tree) == saved, "saving what was loaded writes the same bytes");
    return 0;
}
