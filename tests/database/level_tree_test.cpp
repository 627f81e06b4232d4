#include "database/database_format.h"
#include "database/database_writer.h"
#include "database/level_tree.h"

#include <gtest/gtest.h>

namespace quillfen {
namespace {

using R = LevelTree::Relationship;

// root1 > parent1 > level1, level2 ; root2 > parent2 > level3
LevelTree smallTree() {
    LevelTree tree;
    auto* g1 = tree.add(nullptr, R::Last, "root1", "G1");
    auto* s1 = tree.add(g1, R::Child, "parent1", "S1");
    tree.add(s1, R::Child, "level1", "L1");
    tree.add(s1, R::Child, "level2", "L2");
    auto* g2 = tree.add(nullptr, R::Last, "root2", "G2");
    auto* s2 = tree.add(g2, R::Child, "parent2", "S2");
    tree.add(s2, R::Child, "level3", "L3");
    return tree;
}

TEST(LevelTreeAdd, RefusesTakenOrMisspeltKeysMissingRelativesAndAFullTree) {
    LevelTree tree = smallTree();
    EXPECT_EQ(tree.add(nullptr, R::Last, "root1", "again"), nullptr);
    EXPECT_EQ(tree.add("nowhere", R::Child, "parent7", "x"), nullptr);
    // A key is a kind word and a number, spelt one way only.
    for (const char* key :
         {"rootfull", "root", "root01", "root-3", "Root4", "level3x", "parent4294967296", "group5"})
        EXPECT_EQ(tree.add(nullptr, R::Last, key, "x"), nullptr) << key;
    // Numbers need not come in order.
    ASSERT_NE(tree.add("parent1", R::Child, "level4294967295", "big"), nullptr);
    ASSERT_NE(tree.add("parent1", R::Child, "level0", "zero"), nullptr);
    EXPECT_EQ(tree.find("level4294967295")->text(), "big");
    EXPECT_EQ(tree.add("parent2", R::Child, "level0", "again"), nullptr);

    while (tree.count() < format::kMaxNodes)
        ASSERT_NE(tree.add(nullptr, R::Last, NodeKind::Group, tree.count() + 10, ""), nullptr);
    EXPECT_EQ(tree.add(nullptr, R::Last, "root9999", ""), nullptr);
}

// Everything that a save or a view reads of a tree: its file, and its keys by node index.
std::pair<std::vector<unsigned char>, std::vector<std::string>> describe(const LevelTree& tree) {
    std::vector<std::string> keys;
    for (int i = 1; i <= tree.count(); ++i)
        keys.push_back(tree.item(i)->key());
    return {encodeDatabase(tree), keys};
}

// A restore where each subtree stood is the undo of every delete (tests/editor/random_edits_test).
// A selected node stays selected through removals around it and goes with its ancestor.
TEST(LevelTreeRemoval, TheSelectionFollowsItsNodeAndASubtreeComesBackOnlyWhereItFits) {
    LevelTree tree = smallTree();
    tree.select(tree.find("level2"));
    tree.remove(tree.find("level1"));
    EXPECT_EQ(tree.selected()->index(), 3); // moved down to the removed node's index
    tree.remove(tree.find("parent1"));
    EXPECT_EQ(tree.selected(), nullptr);
    DetachedSubtree level = tree.detach(tree.find("level3"));
    DetachedSubtree group = tree.detach(tree.find("root2"));
    EXPECT_EQ(tree.find("level3"), nullptr);
    EXPECT_EQ(tree.restore(std::move(level)), nullptr);
    tree.add(nullptr, R::Last, "root2", "again");
    EXPECT_EQ(tree.restore(std::move(group)), nullptr);
}

// Records what a view would be told, to check a view can follow the tree row by row.
struct RecordingObserver : LevelTreeObserver {
    std::vector<std::string> events;
    std::string name(const LevelTreeNode* n) { return n ? n->key() : "top"; }
    void beforeInsert(const LevelTreeNode* p, int row) override {
        events.push_back("insert " + name(p) + " " + std::to_string(row));
    }
    void afterInsert() override { events.push_back("inserted"); }
    void beforeRemove(const LevelTreeNode* p, int row) override {
        events.push_back("remove " + name(p) + " " + std::to_string(row));
    }
    void afterRemove() override { events.push_back("removed"); }
    void beforeReset() override { events.push_back("reset"); }
    void afterReset() override { events.push_back("was reset"); }
    void textChanged(const LevelTreeNode* n) override { events.push_back("text " + n->key()); }
    void beforeMove(const LevelTreeNode* p, int from, int to) override {
        events.push_back("move " + name(p) + " " + std::to_string(from) + ">" + std::to_string(to));
    }
    void afterMove() override { events.push_back("moved"); }
};

TEST(LevelTreeObserverEvents, NameTheParentAndRowOfEveryChange) {
    LevelTree tree = smallTree();
    RecordingObserver observer, second;
    tree.addObserver(&observer);
    tree.addObserver(&second);
    tree.add("level1", R::Next, "level9", "L9");
    tree.add("level2", R::First, "level8", "L8");
    DetachedSubtree removed = tree.detach(tree.find("parent2"));
    tree.restore(std::move(removed));
    tree.move(tree.find("level9"), 1, 1);
    std::vector<std::string> children;
    for (auto* c = tree.find("parent1")->firstChild(); c; c = c->nextSibling())
        children.push_back(c->key());
    EXPECT_EQ(children, (std::vector<std::string>{"level8", "level9", "level1", "level2"}));
    tree.setText(tree.find("root1"), "renamed");
    tree = smallTree();
    EXPECT_EQ(observer.events,
              (std::vector<std::string>{"insert parent1 1", "inserted", "insert parent1 0",
                                        "inserted", "remove root2 0", "removed", "insert root2 0",
                                        "inserted", "move parent1 2>1", "moved", "text root1",
                                        "reset", "was reset"}));
    EXPECT_EQ(second.events, observer.events);
}

TEST(LevelTreeTexts, SurviveManyChangesAndRemovalsAroundThem) {
    LevelTree tree = smallTree();
    const LevelTree::Node* level2 = tree.find("level2");
    tree.setLevelFiles(level2->index(), "two.lvl");
    tree.setGroupFolders(tree.find("root2")->index(), "TWO");
    auto before = describe(tree);
    // Far more replaced text than live text, so the buffer is packed again on the way.
    for (int i = 0; i < 2000; ++i) {
        tree.setText(tree.find("level1"), std::string(100, static_cast<char>('a' + i % 26)));
        tree.setLevelFiles(tree.find("level3")->index(), "file" + std::to_string(i));
    }
    tree.setText(tree.find("level1"), "L1");
    tree.setLevelFiles(tree.find("level3")->index(), "");
    EXPECT_EQ(describe(tree), before);
    EXPECT_EQ(tree.find("level2"), level2);
    tree.setText(level2, level2->text());
    EXPECT_EQ(level2->text(), "L2");
}

} // namespace
} // namespace quillfen
