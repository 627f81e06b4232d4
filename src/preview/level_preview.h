#pragma once

#include "common/result.h"
#include "preview/game_graphics.h"
#include "preview/level_render.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace quillfen::preview {

// The picture of one level of a file.
struct LevelPreview {
    std::optional<std::size_t> section; // the level's section, when the file is a DOS pack
    std::string title;                  // Windows-1252, as the level file holds it
    unsigned graphicsSet = 0;           // in the Windows game's numbering
    LevelPicture picture;
};

// The pictures of the level file or DOS level pack at `path`: one for a Windows level file,
// one a level for a pack, in section order (the sequel's packs, by their "DLVEL" names, with
// their graphics sets renumbered as an import does). The graphics are found through `graphics`
// in `places`, whose levelFile is taken to be `path`. Refused with the user's message, and no
// picture made, when the file cannot be read, is neither a Windows level file nor a pack, or
// a set's graphics cannot be found or are damaged.
Result<std::vector<LevelPreview>> previewFile(const std::string& path, GameGraphics& graphics,
                                              GraphicsPlaces places);

} // namespace quillfen::preview
