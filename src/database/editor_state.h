#pragma once

#include "database/database_format.h"
#include "database/level_tree.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quillfen {

// The whole editing state, owned by the window for its whole life.
struct EditorState {
    // Registry key path, below HKEY_LOCAL_MACHINE, of the game's list of player profiles.
    std::string usersKeyPath;

    // The loaded UserDatabase: a load fills it from index 0 and keeps what lies beyond, as the
    // game's own editor did; only the first `dbLength` bytes belong to the loaded file and only
    // those are parsed.
    std::vector<unsigned char> dbBytes = std::vector<unsigned char>(format::kImageSize);
    std::size_t dbLength = 0;

    // The numbers of the last group, set and level keys issued since the last load. They never
    // wrap, so keys are never issued twice.
    std::uint32_t groupCount = 0;
    std::uint32_t setCount = 0;
    std::int32_t levelCount = 0;

    // The document: groups > sets > levels, with each group's folder and each level's file name.
    LevelTree tree;

    std::string_view groupFolders(int index) const { return tree.groupFolders(index); }
    std::string_view levelFiles(int index) const { return tree.levelFiles(index); }
};

// A profile counts as loaded while the tree holds at least one node, however they came there.
inline bool profileLoaded(const EditorState& state) {
    return !state.tree.empty();
}

} // namespace quillfen
