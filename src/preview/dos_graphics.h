#pragma once

#include "common/result.h"
#include "preview/graphics_set.h"

#include <span>
#include <vector>

namespace quillfen::preview {

// The set's pictures from the unpacked sections of its VGAGRn.DAT (0: the terrain pieces, 1: the
// objects' frames), in the ground file's colours. A picture is four bit planes and a mask plane,
// each a bit a pixel, left to right and top to bottom, the highest bit first. Refused, with the
// reason, when a picture that the ground file names lies beyond its section.
Result<GraphicsSet> dosGraphics(const GroundFile& ground,
                                std::span<const std::vector<unsigned char>> sections);

} // namespace quillfen::preview
