#pragma once

#include "levelfile/level_file.h"

#include <array>
#include <string>
#include <vector>

namespace quillfen::levelfile {

// A new Windows level file of `title` (Windows-1252, cut or padded with spaces to its field)
// with the nine `counts`: release rate 50, half the lemmings to rescue, five minutes, graphics
// set 0, and no objects, terrain pieces or steel areas. Every level file the tool makes of its
// own is made here.
std::vector<unsigned char> makeLevel(const std::string& title,
                                     const std::array<unsigned char, kCountsCount>& counts);

} // namespace quillfen::levelfile
