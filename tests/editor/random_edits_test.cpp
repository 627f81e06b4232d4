#include "editor/editor_fixture.h"

#include <random>

namespace quillfen::testing {
namespace {

class RandomEdits : public EditorTest, public ::testing::WithParamInterface<unsigned> {
protected:
    std::mt19937 rng{GetParam()};
    TreeModel model = TreeModel::loaded(kProfile);

    std::size_t below(std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng);
    }

    // A text of Windows-1252 bytes, from plain letters to ones the game shows as accents.
    std::string text(int longest) {
        static const std::string chars = "ABCXYZabc 019._-\xE9\xFC\x80\x9C\xFF";
        std::string out(below(longest + 1), ' ');
        for (char& c : out)
            c = chars[below(chars.size())];
        return out;
    }

    TextAnswer answer(int longest) { return {text(longest), below(10) != 0}; }

    void expectModel(const std::string& history) {
        const EditorState& now = editor.state();
        ASSERT_EQ(ModelTree::of(now.tree).dump(), model.dump()) << history;
        ASSERT_EQ(std::tie(now.groupCount, now.setCount, now.levelCount),
                  std::tie(model.groupCount, model.setCount, model.levelCount))
            << history;
        ASSERT_EQ(user.messages, model.messages) << history;
        std::vector<std::string> asked;
        for (const auto& question : user.questions)
            if (question.caption.starts_with("Confirm"))
                asked.push_back(question.text);
        ASSERT_EQ(asked, model.questions) << history;
    }
};

// The undo step each command makes, by its number below.
const char* const kSteps[] = {"Add Group",     "Add Set",          "Add Level(s)", "Delete Group",
                              "Delete Set",    "Delete Level",     "Move Up",      "Move Down",
                              "Update Folder", "Update File Name", "Rename",       "Rename"};

// The editor's commands, undos and redos in random order, against the model: after an undo the
// tree, both tables and the selection are what they were before the undone edit, and after a
// redo what they were after it; the key counters only ever go up; each edit is undone by name.
TEST_P(RandomEdits, AgreeWithTheModelThroughUndoAndRedoAndSurviveASaveAndALoad) {
    FileTitles titles;
    std::vector<std::string> names;
    for (int i = 0; i < 6; ++i) {
        std::string name = "lvl" + std::to_string(i) + ".lvl";
        names.push_back(name);
        // One name in the list whose file has gone since the list was read.
        std::string title = text(32);
        if (i != 3)
            levelFile(name, title);
        // Its name is the title without the spaces around it.
        title.erase(0, title.find_first_not_of(' '));
        title.erase(title.find_last_not_of(' ') + 1);
        titles[name] = i == 3 ? std::nullopt : std::optional(title);
    }

    // The tree before and after each edit that can be undone, and each that can be redone.
    std::vector<std::pair<ModelTree, ModelTree>> undoable, redoable;

    std::string history;
    for (int step = 0; step < 300; ++step) {
        std::size_t command = below(15);
        if (command >= 12) {
            bool undo = command < 14;
            history += undo ? "undo " : "redo ";
            auto& from = undo ? undoable : redoable;
            EXPECT_EQ(undo ? editor.undo().done : editor.redo().done, !from.empty());
            if (from.empty()) {
                model.say(undo ? "there is nothing to undo" : "there is nothing to redo");
            } else {
                static_cast<ModelTree&>(model) = undo ? from.back().first : from.back().second;
                (undo ? redoable : undoable).push_back(std::move(from.back()));
                from.pop_back();
            }
            expectModel(history);
            continue;
        }
        std::string key =
            model.order.empty() || below(10) == 0 ? "" : model.order[below(model.order.size())];
        select(key);
        model.selected = key;
        ModelTree before = model;
        history += std::to_string(command) + "@" + key + " ";
        bool yes = below(4) != 0;
        user.confirmations = {yes};
        Outcome outcome;
        switch (command) {
        case 0: {
            TextAnswer folder = answer(format::kFolderWidth + 2);
            user.inputs = {folder};
            outcome = editor.addGroup();
            model.addGroup(folder.text, folder.storable);
            break;
        }
        case 1:
            outcome = editor.addSet();
            model.addSet();
            break;
        case 2: {
            FileListSelection files{{}, {}, below(8) == 0 ? -1 : static_cast<int>(below(6))};
            std::vector<std::string> chosen;
            for (const std::string& name : names) {
                files.names.push_back({name, true});
                files.selected.push_back(below(3) == 0);
                if (files.selected.back())
                    chosen.push_back(name);
            }
            outcome = editor.addSelectedLevels(files);
            model.addLevels(chosen, files.current >= 0, titles);
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
            EXPECT_EQ(editor.documentState().undoText, "Undo " + std::string(kSteps[command]));
            undoable.push_back({std::move(before), model});
            redoable.clear();
        }
        expectPanelFollows(outcome);
        user.confirmations.clear();
        user.inputs.clear();
        expectModel(history);
    }
    // A file of no groups is no profile: a load refuses it as the game does.
    if (!editor.tree().empty())
        expectSaveAndLoadAgree();
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomEdits, ::testing::Range(1u, 21u));

} // namespace
} // namespace quillfen::testing
