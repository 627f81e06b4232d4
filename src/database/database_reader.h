#pragma once

#include "database/editor_state.h"
#include "database/progress.h"
#include "database/result.h"

#include <cstdint>
#include <span>

namespace quillfen {

inline constexpr char kCorruptProfile[] =
    "WARNING: the user profile you are trying to load seems to be corrupt";

struct ParsedDatabase {
    LevelTree tree;
    std::uint32_t groupCount = 0;
    std::uint32_t setCount = 0;
    std::int32_t levelCount = 0;
};

// Turns the bytes of a UserDatabase into a tree with node 1 selected. The counts are checked
// against the bytes before anything is built: a file that would make the walk read what is not
// there is refused with kCorruptProfile and a second line saying what is wrong.
Result<ParsedDatabase> parseDatabase(std::span<const unsigned char> bytes,
                                     const Progress& progress = {});

// Parses the loaded image (state.dbBytes, its first state.dbLength bytes) into state.tree and
// the key counters. On a refusal the state is left exactly as it was.
Status ParseDatabaseFile(EditorState& state, const Progress& progress = {});

} // namespace quillfen

namespace quillfen {

// What Load Profile does with a database file's bytes once they are read: refuses a file
// shorter than 99 bytes or longer than 500,000, parses it, and only then copies it into
// state.dbBytes and replaces the tree and the key counters. A refusal changes nothing.
Status loadDatabaseImage(EditorState& state, std::span<const unsigned char> file,
                         const Progress& progress = {});

} // namespace quillfen
