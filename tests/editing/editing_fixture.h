#pragma once

#include "database/database_reader.h"
#include "database/database_writer.h"
#include "editing/editing_commands.h"
#include "editing/tree_model.h"
#include "levelfile/make_level_file.h"
#include "profiles/profile_commands.h"
#include "scripted_user_interface.h"
#include "temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace quillfen::testing {

// Two groups with sets and levels, and a group with no sets; its keys after a load:
// root1 (1) parent1 (2) level1-level4 (3-6) parent2 (7) level5 (8)
// root2 (9) parent3 (10) level6 level7 (11-12) parent4 (13)   root3 (14)
inline const ProfileSpec kProfile = {
    {"CUSTOM LEVELS",
     "CUST",
     {{"EASY", {{"A", "a.lvl"}, {"B", "b.lvl"}, {"C", "c.lvl"}, {"D", "d.lvl"}}},
      {"HARD", {{"E", "e.lvl"}}}}},
    {"QUILLFEN", "QFEN", {{"ONE", {{"F", "f.lvl"}, {"G", "g.lvl"}}}, {"EMPTY", {}}}},
    {"BARE", "BARE", {}},
};

// A profile loaded from a real file, the same profile in the model, and scripted answers; each
// command is run on both and the outcomes compared whole.
class EditingTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string levels = dir.file("levels");
    EditorState state;
    TreeModel model;
    ScriptedUserInterface ui;

    void SetUp() override { std::filesystem::create_directory(levels); }

    void load(const ProfileSpec& profile) {
        std::string path = dir.file("USER.DAT");
        writeBytes(path, profileBytes(profile));
        auto loadedFile = loadProfileFile(path);
        ASSERT_TRUE(loadedFile.ok());
        state.adopt(std::move(*loadedFile));
        // What was said before the load stays said.
        TreeModel loaded = TreeModel::loaded(profile);
        loaded.messages = std::move(model.messages);
        loaded.questions = std::move(model.questions);
        model = std::move(loaded);
    }

    // Selects the node with `key` (the empty key: nothing) in the tree and in the model.
    void select(const std::string& key) {
        state.tree.select(key.empty() ? nullptr : state.tree.find(key));
        ASSERT_TRUE(key.empty() || state.tree.selected()) << key;
        model.selected = key;
    }

    // Writes a level file into the level folder and gives its title as it is read.
    std::string levelFile(const std::string& name, const std::string& title,
                          const CountBytes& counts = {40, 1, 2, 3, 4, 5, 6, 7, 8}) {
        writeBytes(levelfile::levelFilePath(levels, name), makeLevelFile(counts, title));
        return paddedTitle(title);
    }

    // The level-file list over `names`, those in `chosen` selected, `current` last clicked.
    LevelFileList fileList(const std::vector<std::string>& names,
                           const std::vector<std::string>& chosen, const std::string& current) {
        LevelFileList list{levels, names, {}, -1};
        for (std::size_t i = 0; i < names.size(); ++i) {
            list.selected.push_back(std::find(chosen.begin(), chosen.end(), names[i]) !=
                                    chosen.end());
            if (names[i] == current)
                list.current = static_cast<int>(i);
        }
        return list;
    }

    // Runs a command with the node `key` selected, on the editor and on the model alike.
    void addSetTo(const std::string& key) {
        select(key);
        addSet(state, ui, kNewSetName);
        model.addSet();
    }
    void addLevelTo(const std::string& key, const std::string& file, const FileTitles& titles) {
        select(key);
        addSelectedLevels(state, ui, fileList({file}, {file}, file));
        model.addLevels({file}, file, titles);
    }
    // The delete command of the node's kind, answered Yes.
    void deleteNode(const std::string& key) {
        select(key);
        std::string kind = key.starts_with("root")    ? "root"
                           : key.starts_with("level") ? "level"
                                                      : "parent";
        kind == "root"    ? deleteGroup(state, ui)
        : kind == "level" ? deleteLevel(state, ui)
                          : deleteSet(state, ui);
        model.deleteNode(kind, true);
    }

    void expectModel() {
        EXPECT_EQ(TreeModel::dump(state), model.dump());
        EXPECT_EQ(ui.messages, model.messages);
        std::vector<std::string> asked;
        for (const auto& question : ui.questions)
            if (question.caption == "confirm")
                asked.push_back(question.text);
        EXPECT_EQ(asked, model.questions);
    }

    // Save, then load the saved file: the same groups, sets and levels with the same texts,
    // folders and file names, and saving that gives the same bytes again.
    void expectSaveAndLoadAgree() {
        std::string path = dir.file("SAVED.DAT");
        std::vector<unsigned char> saved = encodeDatabase(state.tree);
        writeBytes(path, saved);
        EditorState again;
        auto loadedFile = loadProfileFile(path);
        ASSERT_TRUE(loadedFile.ok());
        again.adopt(std::move(*loadedFile));
        EXPECT_EQ(contents(again), contents(state));
        EXPECT_EQ(encodeDatabase(again.tree), saved);
    }

    // The tree without its keys, which a load numbers afresh.
    static std::string contents(const EditorState& s) {
        std::string out;
        for (const LevelTree::Node* g : s.tree.topLevel()) {
            out.append(g->text()).append(" [").append(s.groupFolders(g->index())).append("]\n");
            for (int i = 0; i < g->children(); ++i) {
                const LevelTree::Node* set = g->child(i);
                out.append("  ").append(set->text()).append("\n");
                for (int l = 0; l < set->children(); ++l) {
                    const LevelTree::Node* level = set->child(l);
                    out.append("    ").append(level->text()).append(" [");
                    out.append(s.levelFiles(level->index())).append("]\n");
                }
            }
        }
        return out;
    }
};

} // namespace quillfen::testing
