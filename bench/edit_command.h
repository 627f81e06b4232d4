#pragma once

#include "database/level_tree.h"

namespace quillfen::bench {

// The editing commands timed on the largest profile, in the core and through the window.
enum class Command {
    DeleteFirstGroup,
    DeleteFirstSet,
    DeleteFirstLevel,
    MoveUp,
    MoveDown,
    AddGroup,
    AddSet,
    AddSelectedLevel,
    UpdateFolder,
    UpdateFileName,
    Rename,
    TreeClick,
};

inline bool addsNodes(Command command) {
    return command == Command::AddGroup || command == Command::AddSet ||
           command == Command::AddSelectedLevel;
}

// The node a user would have selected for the command: the first group's first set and its
// levels, whose removal moves the most nodes.
inline const LevelTree::Node* targetOf(const LevelTree& tree, Command command) {
    const LevelTree::Node* group = tree.item(1);
    const LevelTree::Node* set = group->firstChild();
    switch (command) {
    case Command::DeleteFirstGroup:
    case Command::AddSet:
    case Command::UpdateFolder:
        return group;
    case Command::DeleteFirstSet:
    case Command::AddSelectedLevel:
    case Command::Rename:
        return set;
    case Command::MoveUp:
        return set->child(2);
    default:
        return set->firstChild();
    }
}

} // namespace quillfen::bench
