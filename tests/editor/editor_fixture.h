#pragma once

#include "database/database_writer.h"
#include "editor/editor.h"
#include "editor/tree_model.h"
#include "levelfile/make_level_file.h"
#include "profiles/profile_store.h"
#include "scripted_user_interface.h"
#include "temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace quillfen::testing {

// Its keys and node indexes after a load: root1 (1) parent1 (2) level1-level3 (3-5) parent2 (6),
// root2 (7) parent3 (8) level4 (9), root3 (10).
inline const ProfileSpec kProfile = {
    {"EASY PACK",
     "EASY",
     {{"FIRST", {{"A", "a.lvl"}, {"B", "b.lvl"}, {"C", "c.lvl"}}}, {"EMPTY", {}}}},
    {"HARD", "HARD", {{"ONE", {{"D", "d.lvl"}}}}},
    {"BARE", "BARE", {}},
};
inline const std::string kLoaded =
    "root1(parent1(level1 level2 level3) parent2) root2(parent3(level4)) root3";

// The scripted user, who also notes what is said and asked in one list, in order: a question as
// "? caption: text", an input box's with " @N", the nodes the tree held while it was open.
class RecordingUser : public ScriptedUserInterface {
public:
    const LevelTree* tree = nullptr;
    std::vector<std::string> said;

    void message(const std::string& text) override {
        said.push_back(text);
        ScriptedUserInterface::message(text);
    }
    bool confirm(const std::string& text, const std::string& caption,
                 bool yesIsDefault = true) override {
        said.push_back("? " + caption + ": " + text);
        return ScriptedUserInterface::confirm(text, caption, yesIsDefault);
    }
    TextAnswer input(const std::string& prompt, const std::string& title,
                     const std::string& proposed) override {
        said.push_back("? " + title + ": " + prompt + " @" + std::to_string(tree->count()));
        return ScriptedUserInterface::input(prompt, title, proposed);
    }
};

// An Editor on a profile loaded from a real file, its folder list on an empty level folder.
class EditorTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string levels = dir.file("levels");
    RecordingUser user;
    WinePrefixStore store{dir.file("no-prefix")};
    Editor editor{store, user};

    void SetUp() override {
        std::filesystem::create_directory(levels);
        user.tree = &editor.tree();
        editor.openFolder(levels);
        load(kProfile);
    }

    void load(const ProfileSpec& profile) {
        writeBytes(dir.file("USER.DAT"), profileBytes(profile));
        ASSERT_TRUE(editor.openFile(dir.file("USER.DAT")).ok());
    }

    void levelFile(const std::string& name, const std::string& title,
                   const CountBytes& counts = {40, 1, 2, 3, 4, 5, 6, 7, 8}) {
        writeBytes(levelfile::levelFilePath(levels, name), makeLevelFile(counts, title));
    }

    Outcome select(const std::string& key) {
        return editor.clickNode(key.empty() ? nullptr : editor.tree().find(key));
    }
    std::string selectedKey() const { return ModelTree::of(editor.tree()).selected; }

    // The keys, each node's children in brackets: "root1(parent1(level1) parent2) root2".
    std::string outline() const { return ModelTree::outline(ModelTree::of(editor.tree()).groups); }

    // "key@index 'text' [entry]", the entry a group's folder or a level's file name.
    std::string describe(const std::string& key) const {
        const LevelTree& tree = editor.tree();
        const LevelTree::Node* node = tree.find(key);
        if (node == nullptr)
            return key + " is gone";
        return key + "@" + std::to_string(node->index()) + " '" + std::string(node->text()) +
               "' [" + ModelTree::entryOf(tree, node) + "]";
    }

    // Every node's text and entry, the index order, the selection and the file the tree saves as.
    std::string everything() const {
        std::vector<unsigned char> bytes = encodeDatabase(editor.tree());
        return ModelTree::of(editor.tree()).dump() + "\n" + std::string(bytes.begin(), bytes.end());
    }

    // What was said and asked; an expected text ending in * stands for any that starts so.
    void expectSaid(const std::vector<std::string>& expected) {
        for (std::size_t i = 0; i < expected.size() && i < user.said.size(); ++i) {
            std::string_view start =
                std::string_view(expected[i]).substr(0, expected[i].size() - 1);
            if (expected[i].ends_with('*') && user.said[i].starts_with(start))
                user.said[i] = expected[i];
        }
        EXPECT_EQ(user.said, expected);
        user.said.clear();
    }

    // After an edit that moved the selection, the panel shows the node selected now.
    void expectPanelFollows(const Outcome& outcome) {
        const LevelTree::Node* node = editor.tree().selected();
        if (!outcome.done || !outcome.selectionChanged)
            return;
        EXPECT_EQ(outcome.selected, node);
        ASSERT_TRUE(outcome.panel);
        bool group = node && node->kind() == NodeKind::Group;
        std::string entry = node ? ModelTree::entryOf(editor.tree(), node) : "";
        EXPECT_EQ(outcome.panel->groupFolder, group ? entry : "");
        EXPECT_EQ(outcome.panel->levelFile, group ? "" : entry);
    }

    // The tree saved, loaded and saved again gives the same bytes.
    void expectSaveAndLoadAgree() {
        std::vector<unsigned char> saved = encodeDatabase(editor.tree());
        writeBytes(dir.file("SAVED.DAT"), saved);
        ASSERT_TRUE(editor.openFile(dir.file("SAVED.DAT")).ok());
        EXPECT_EQ(encodeDatabase(editor.tree()), saved);
    }
};

} // namespace quillfen::testing
