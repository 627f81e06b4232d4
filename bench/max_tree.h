#pragma once

#include "database/database_format.h"
#include "database/level_tree.h"

#include <string>

namespace quillfen::bench {

// The largest tree a profile holds: groups of 15 sets of 14 levels, with names and file names
// that fill most of their fields, up to 3,649 nodes.
inline LevelTree makeMaxTree() {
    LevelTree tree;
    int g = 0, s = 0, l = 0;
    auto full = [&] { return tree.count() >= format::kMaxNodes; };
    while (!full()) {
        ++g;
        auto* group = tree.add(nullptr, LevelTree::Relationship::Last, "root" + std::to_string(g),
                               "A GROUP OF CUSTOM LEVELS NUMBER " + std::to_string(g));
        tree.setGroupFolders(group->index(), "CUSTOM" + std::to_string(g));
        for (int si = 0; si < 15 && !full(); ++si) {
            ++s;
            auto* set = tree.add(
                group, LevelTree::Relationship::Child, "parent" + std::to_string(s),
                "A SET WITH A RATHER LONG NAME, AS PLAYERS LIKE THEM " + std::to_string(s));
            for (int li = 0; li < 14 && !full(); ++li) {
                ++l;
                auto* level =
                    tree.add(set, LevelTree::Relationship::Child, "level" + std::to_string(l),
                             "Level title number " + std::to_string(l));
                tree.setLevelFiles(level->index(), "level" + std::to_string(l) + ".lvl");
            }
        }
    }
    return tree;
}

} // namespace quillfen::bench
