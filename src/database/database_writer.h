#pragma once

#include "common/progress.h"
#include "database/level_tree.h"

#include <vector>

namespace quillfen {

// Fills `file` with the complete UserDatabase of the tree, reusing its memory: the header, then
// one record a node in depth-first order. Texts longer than their field are cut to it.
// `progress` gets the number of records written after each record.
void WriteDatabaseFile(std::vector<unsigned char>& file, const LevelTree& tree,
                       const Progress& progress = {});

// The same, into a new buffer.
std::vector<unsigned char> encodeDatabase(const LevelTree& tree, const Progress& progress = {});

} // namespace quillfen
