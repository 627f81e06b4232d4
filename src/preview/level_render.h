#pragma once

#include "preview/graphics_set.h"
#include "preview/image.h"
#include "preview/level_layout.h"

#include <string>

namespace quillfen::preview {

// A level's still picture, as the game shows it.
struct LevelPicture {
    Image image;
    std::string note; // empty, or what the picture lacks, for the user
};

// The still picture of the level laid out in `layout`, drawn from `graphics` at their own size
// (1584 x 160 from the DOS pictures, 3168 x 320 from the Windows game's big ones, positions
// doubled). On black: the terrain pieces in file order by their flags, then the objects' still
// frames in two passes, first those drawn only over terrain, then all others, each in record
// order; upside down takes a picture's rows from the bottom up, and what falls outside the
// level is cut off. A level of special graphics gets its objects only, and a note that says
// so. A piece or object that the set does not have draws nothing.
LevelPicture renderLevel(const LevelLayout& layout, const GraphicsSet& graphics);

} // namespace quillfen::preview
