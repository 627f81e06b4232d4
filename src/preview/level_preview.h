#pragma once

#include "common/result.h"
#include "preview/game_graphics.h"
#include "preview/level_layout.h"
#include "preview/level_render.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace quillfen::preview {

// One level of a file, ready to be drawn.
struct LevelPreview {
    std::optional<std::size_t> section;    // the level's section, when the file is a DOS pack
    std::string title;                     // Windows-1252, as the level file holds it
    LevelLayout layout;                    // its graphics set in the Windows game's numbering
    const GraphicsSet* graphics = nullptr; // kept by the GameGraphics that found it

    LevelPicture draw() const { return renderLevel(layout, *graphics); }
};

// The levels of the level file or DOS level pack at `path` with the graphics to draw them: one
// for a Windows level file, one a section for a pack (a sequel's pack, by its "DLVEL" name,
// with its graphics sets renumbered as an import does). The graphics are found through
// `graphics` in `places`, whose levelFile is taken to be `path`, for every level before any is
// drawn. Refused with the user's message when the file cannot be read, is neither a Windows
// level file nor a pack, or a set's graphics cannot be found or are damaged.
Result<std::vector<LevelPreview>> previewFile(const std::string& path, GameGraphics& graphics,
                                              GraphicsPlaces places);

} // namespace quillfen::preview
