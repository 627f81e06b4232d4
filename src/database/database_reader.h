#pragma once

#include "common/progress.h"
#include "common/result.h"
#include "database/level_tree.h"

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
Result<ParsedDatabase> ParseDatabaseFile(std::span<const unsigned char> bytes,
                                         const Progress& progress = {});

} // namespace quillfen
