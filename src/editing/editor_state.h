#pragma once

#include "database/database_reader.h"
#include "database/level_tree.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace quillfen {

// The document and what the editing commands keep beside it; the Editor owns it.
struct EditorState {
    // Registry key path, below HKEY_LOCAL_MACHINE, of the game's list of player profiles.
    std::string usersKeyPath;

    // The numbers of the last group, set and level keys issued since the last load. They never
    // wrap, so keys are never issued twice.
    std::uint32_t groupCount = 0;
    std::uint32_t setCount = 0;
    std::int32_t levelCount = 0;

    // The document: groups > sets > levels, with each group's folder and each level's file name.
    LevelTree tree;

    std::string_view groupFolders(int index) const { return tree.groupFolders(index); }
    std::string_view levelFiles(int index) const { return tree.levelFiles(index); }

    // A loaded file's tree replaces the document, and its key counters the state's.
    void adopt(ParsedDatabase&& parsed) {
        groupCount = parsed.groupCount;
        setCount = parsed.setCount;
        levelCount = parsed.levelCount;
        tree = std::move(parsed.tree);
    }
};

// A profile counts as loaded while the tree holds at least one node, however they came there.
inline bool profileLoaded(const EditorState& state) {
    return !state.tree.empty();
}

} // namespace quillfen
