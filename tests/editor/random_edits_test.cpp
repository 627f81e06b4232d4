#include "editing/editing_fixture.h"
#include "editor/editor.h"
#include "profiles/profile_store.h"

#include <random>

namespace quillfen::testing {
namespace {

// The level-file list as a window shows it.
FileListSelection asShown(const LevelFileList& files) {
    FileListSelection shown{{}, files.selected, files.current};
    for (const std::string& name : files.names)
        shown.names.push_back({name, true});
    return shown;
}

class RandomEdits : public EditingTest, public ::testing::WithParamInterface<unsigned> {
protected:
    std::mt19937 rng{GetParam()};

    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }

    // A text of Windows-1252 bytes, from plain letters to ones the game shows as accents.
    std::string text(int longest) {
        static const std::string chars = "ABCXYZabc 019._-\xE9\xFC\x80\x9C\xFF";
        std::string out(static_cast<std::size_t>(below(longest + 1)), ' ');
        for (char& c : out)
            c = chars[static_cast<std::size_t>(below(static_cast<int>(chars.size())))];
        return out;
    }

    TextAnswer answer(int longest) { return {text(longest), below(10) != 0}; }
};

// The editor's commands, undos and redos in random order, against the model: after an undo the
// tree, both tables, the selection and the saved bytes are what they were before the undone
// edit, and after a redo what they were after it; the key counters only ever go up.
TEST_P(RandomEdits, AgreeWithTheModelThroughUndoAndRedoAndSurviveASaveAndALoad) {
    WinePrefixStore store(dir.file("no-prefix"));
    Editor editor(store, ui);
    std::string path = dir.file("USER.DAT");
    writeBytes(path, profileBytes(kProfile));
    ASSERT_TRUE(editor.openFile(path).ok());
    editor.openFolder(levels);
    model = TreeModel::loaded(kProfile);

    FileTitles titles;
    std::vector<std::string> names;
    for (int i = 0; i < 6; ++i) {
        std::string name = "lvl" + std::to_string(i) + ".lvl";
        names.push_back(name);
        // One name in the list whose file has gone since the list was read.
        titles[name] = i == 3 ? std::nullopt : std::optional(levelFile(name, text(32)));
    }

    struct Snapshot {
        TreeModel model;
        std::vector<unsigned char> bytes;
    };
    struct Done {
        Snapshot before, after;
    };
    std::vector<Done> undoable, redoable;
    auto snapshot = [&] { return Snapshot{model, encodeDatabase(editor.tree())}; };
    // The model as it was, with the counters, messages and questions of now.
    auto backTo = [&](const Snapshot& then) {
        TreeModel now = then.model;
        now.groupCount = model.groupCount;
        now.setCount = model.setCount;
        now.levelCount = model.levelCount;
        now.messages = model.messages;
        now.questions = model.questions;
        model = std::move(now);
        EXPECT_EQ(encodeDatabase(editor.tree()), then.bytes);
    };

    std::string history;
    for (int step = 0; step < 300; ++step) {
        int command = below(15);
        if (command >= 12) {
            bool undo = command < 14;
            history += undo ? "undo " : "redo ";
            auto& from = undo ? undoable : redoable;
            EXPECT_EQ(undo ? editor.undo().done : editor.redo().done, !from.empty());
            if (from.empty())
                model.say(undo ? "there is nothing to undo" : "there is nothing to redo");
            if (!from.empty()) {
                backTo(undo ? from.back().before : from.back().after);
                (undo ? redoable : undoable).push_back(std::move(from.back()));
                from.pop_back();
            }
            ASSERT_EQ(TreeModel::dump(editor.state()), model.dump()) << history;
            continue;
        }
        std::string key = model.order.empty() || below(10) == 0
                              ? ""
                              : model.order[static_cast<std::size_t>(below(model.count()))];
        editor.clickNode(editor.tree().find(key));
        model.selected = key;
        Snapshot before = snapshot();
        history += std::to_string(command) + "@" + key + " ";
        bool yes = below(4) != 0;
        ui.confirmations = {yes};
        Outcome outcome;
        switch (command) {
        case 0: {
            TextAnswer folder = answer(format::kFolderWidth + 2);
            ui.inputs = {folder};
            outcome = editor.addGroup();
            model.addGroup(folder.text, folder.storable);
            break;
        }
        case 1:
            outcome = editor.addSet();
            model.addSet();
            break;
        case 2: {
            std::vector<std::string> chosen;
            for (const std::string& name : names)
                if (below(3) == 0)
                    chosen.push_back(name);
            std::string current = below(8) == 0 ? "" : names[static_cast<std::size_t>(below(6))];
            outcome = editor.addSelectedLevels(asShown(fileList(names, chosen, current)));
            model.addLevels(chosen, current, titles);
            break;
        }
        case 3:
        case 4:
        case 5:
            outcome = command == 3   ? editor.deleteGroup()
                      : command == 4 ? editor.deleteSet()
                                     : editor.deleteLevel();
            model.deleteNode(command == 3 ? "root" : command == 4 ? "parent" : "level", yes);
            break;
        case 6:
        case 7:
            outcome = command == 6 ? editor.moveUp() : editor.moveDown();
            model.move(command == 6);
            break;
        case 8:
        case 9: {
            bool folder = command == 8;
            TextAnswer entry =
                answer((folder ? format::kFolderWidth : format::kLevelFileWideWidth) + 2);
            outcome = folder ? editor.updateFolder(entry) : editor.updateFileName(entry);
            model.update(entry.text, entry.storable, folder);
            break;
        }
        default:
            if (!key.empty()) {
                TextAnswer name = answer(key.starts_with("parent") ? 111 : 43);
                outcome = editor.rename(editor.tree().find(key), name);
                EXPECT_EQ(outcome.done, model.rename(key, name.text, name.storable));
            }
        }
        if (outcome.done) {
            undoable.push_back({std::move(before), snapshot()});
            redoable.clear();
        }
        // The panel shows the node that the command left selected.
        if (outcome.selectionChanged) {
            EXPECT_EQ(outcome.selected, editor.tree().selected());
        }
        ui.confirmations.clear();
        ui.inputs.clear();
        ASSERT_EQ(TreeModel::dump(editor.state()), model.dump()) << history;
        ASSERT_EQ(ui.messages, model.messages) << history;
    }
    std::vector<unsigned char> saved = encodeDatabase(editor.tree());
    writeBytes(path, saved);
    ASSERT_TRUE(editor.openFile(path).ok());
    EXPECT_EQ(encodeDatabase(editor.tree()), saved);
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomEdits, ::testing::Range(1u, 21u));

} // namespace
} // namespace quillfen::testing
