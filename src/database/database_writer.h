#pragma once

#include "common/progress.h"
#include "database/level_tree.h"

#include <cstdint>
#include <vector>

namespace quillfen {

// The record body (record offsets 2 to 136) of a group, set or level node, written at 1-based
// position `pos` of the file buffer `f`; `pos` ends 135 higher. Texts longer than their field are
// cut to it.
void WriteRootHeader(std::vector<unsigned char>& f, std::int32_t& pos, const LevelTree& tree,
                     const LevelTree::Node& n);
void WriteSetHeader(std::vector<unsigned char>& f, std::int32_t& pos, const LevelTree& tree,
                    const LevelTree::Node& n);
void WriteLevelHeader(std::vector<unsigned char>& f, std::int32_t& pos, const LevelTree& tree,
                      const LevelTree::Node& n);

// The complete UserDatabase of the tree, from position 1 of `f`: the header, then one record a
// node in depth-first order. `progress` gets the number of records begun at each record.
void WriteDatabaseFile(std::vector<unsigned char>& f, const LevelTree& tree,
                       const Progress& progress = {});

// The same, into a new buffer.
std::vector<unsigned char> encodeDatabase(const LevelTree& tree, const Progress& progress = {});

} // namespace quillfen
