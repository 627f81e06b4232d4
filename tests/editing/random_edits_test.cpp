#include "editing/editing_fixture.h"

#include <random>

namespace quillfen::testing {
namespace {

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

TEST_P(RandomEdits, AgreeWithTheModelAndSurviveASaveAndALoad) {
    load(kProfile);
    FileTitles titles;
    std::vector<std::string> names;
    for (int i = 0; i < 6; ++i) {
        std::string name = "lvl" + std::to_string(i) + ".lvl";
        names.push_back(name);
        // One name in the list whose file has gone since the list was read.
        titles[name] = i == 3 ? std::nullopt : std::optional(levelFile(name, text(32)));
    }

    std::string history;
    for (int step = 0; step < 300; ++step) {
        std::string key = model.order.empty() || below(10) == 0
                              ? ""
                              : model.order[static_cast<std::size_t>(below(model.count()))];
        select(key);
        int command = below(12);
        history += std::to_string(command) + "@" + key + " ";
        bool yes = below(4) != 0;
        ui.confirmations = {yes};
        switch (command) {
        case 0: {
            TextAnswer folder = answer(format::kFolderWidth);
            ui.inputs = {folder};
            addGroup(state, ui);
            model.addGroup(folder.text, folder.storable);
            break;
        }
        case 1:
            addSet(state, ui);
            model.addSet();
            break;
        case 2: {
            std::vector<std::string> chosen;
            for (const std::string& name : names)
                if (below(3) == 0)
                    chosen.push_back(name);
            std::string current = below(8) == 0 ? "" : names[static_cast<std::size_t>(below(6))];
            addSelectedLevels(state, ui, fileList(names, chosen, current));
            model.addLevels(chosen, current, titles);
            break;
        }
        case 3:
        case 4:
        case 5:
            command == 3   ? deleteGroup(state, ui)
            : command == 4 ? deleteSet(state, ui)
                           : deleteLevel(state, ui);
            model.deleteNode(command == 3 ? "root" : command == 4 ? "parent" : "level", yes);
            break;
        case 6:
        case 7:
            command == 6 ? moveUp(state, ui) : moveDown(state, ui);
            model.move(command == 6);
            break;
        case 8:
        case 9: {
            bool folder = command == 8;
            TextAnswer entry = answer(folder ? format::kFolderWidth : format::kLevelFileWideWidth);
            folder ? updateFolder(state, ui, entry) : updateFileName(state, ui, entry);
            model.update(entry.text, entry.storable, folder);
            break;
        }
        default:
            if (!key.empty()) {
                TextAnswer name = answer(key.starts_with("parent") ? 111 : 43);
                EXPECT_EQ(renameNode(state, ui, state.tree.find(key), name),
                          model.rename(key, name.text, name.storable));
            }
        }
        ui.confirmations.clear();
        ui.inputs.clear();
        ASSERT_EQ(TreeModel::dump(state), model.dump()) << history;
        ASSERT_EQ(ui.messages, model.messages) << history;
    }
    expectModel();
    expectSaveAndLoadAgree();
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomEdits, ::testing::Range(1u, 21u));

} // namespace
} // namespace quillfen::testing
