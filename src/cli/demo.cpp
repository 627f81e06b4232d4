#include "cli/demo.h"

#include <string>

namespace quillfen::cli {
namespace {

struct DemoLevel {
    const char* title;
    const char* file;
};

struct DemoSet {
    const char* name;
    std::initializer_list<DemoLevel> levels;
};

struct DemoGroup {
    const char* name;
    const char* folder;
    std::initializer_list<DemoSet> sets;
};

} // namespace

LevelTree makeDemoTree() {
    const std::initializer_list<DemoGroup> groups = {
        {"CUSTOM LEVELS",
         "CUST",
         {{"CUSTOM SET",
           {{"Tunnel Vision", "tunnel.lvl"},
            {"Mind the Gap", "gap.lvl"},
            {"Stairway to Nowhere", "stairs.lvl"}}},
          {"WEEKEND PUZZLES", {{"Bash Street", "bashst.lvl"}, {"Cliffhanger", "cliff.lvl"}}}}},
        {"QUILLFEN CLASSICS",
         "QFEN",
         {{"FUN", {{"Dig for Victory", "dig.lvl"}, {"Floating Point", "float.lvl"}}},
          {"TRICKY", {{"Blocker Bay", "blocker.lvl"}}},
          {"EMPTY SET FOR LATER", {}}}},
        {"NEW GROUP", "NEW", {}},
    };

    LevelTree tree;
    int g = 0, s = 0, l = 0;
    for (const DemoGroup& group : groups) {
        auto* groupNode = tree.add(nullptr, LevelTree::Relationship::Last,
                                   "root" + std::to_string(++g), group.name);
        tree.setGroupFolders(groupNode->index(), group.folder);
        for (const DemoSet& set : group.sets) {
            auto* setNode = tree.add(groupNode, LevelTree::Relationship::Child,
                                     "parent" + std::to_string(++s), set.name);
            for (const DemoLevel& level : set.levels) {
                auto* levelNode = tree.add(setNode, LevelTree::Relationship::Child,
                                           "level" + std::to_string(++l), level.title);
                tree.setLevelFiles(levelNode->index(), level.file);
            }
        }
    }
    return tree;
}

} // namespace quillfen::cli
