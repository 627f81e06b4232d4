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

    using R = LevelTree::Relationship;
    LevelTree tree;
    std::uint32_t g = 0, s = 0, l = 0;
    for (const DemoGroup& group : groups) {
        auto* groupNode =
            tree.add(nullptr, R::Last, NodeKind::Group, ++g, group.name, group.folder);
        for (const DemoSet& set : group.sets) {
            auto* setNode = tree.add(groupNode, R::Child, NodeKind::Set, ++s, set.name);
            for (const DemoLevel& level : set.levels)
                tree.add(setNode, R::Child, NodeKind::Level, ++l, level.title, level.file);
        }
    }
    return tree;
}

} // namespace quillfen::cli
