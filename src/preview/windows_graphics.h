#pragma once

#include "common/result.h"
#include "preview/ground_file.h"
#include "preview/image.h"

#include <cstddef>
#include <span>
#include <vector>

namespace quillfen::preview {

// The colours of a Windows palette file (.pal): the tag " LAP", a 16-bit count, then that many
// entries of R, G, B and an unused byte. Refused, with the reason, when the tag is wrong, the
// count is 0 or its entries reach beyond the file.
Result<std::vector<Pixel>> readPalette(std::span<const unsigned char> bytes);

// Where one frame of a Windows sprite file (.spr, "SRLE") lies, and its header's words.
struct SpriteFrame {
    unsigned xOffset = 0, yOffset = 0; // where its first drawn row and column lie in the frame
    unsigned rows = 0;                 // drawn rows
    unsigned width = 0, height = 0;    // the whole frame
    std::size_t rowsAt = 0;            // byte offset of its first row in the file
};

// No piece or object of the game is larger than this at the big size (twice a ground file's
// largest size byte).
inline constexpr unsigned kLargestFrameSide = 512;

// The frames of the sprite file held in `bytes`, every row of every frame walked. Refused, with
// the frame, the row and the byte offset, when the tag is wrong, the file ends inside a header
// or a row, a row is not a series of packets, a row or its pixels fall outside the frame, or a
// frame is larger than kLargestFrameSide either way.
Result<std::vector<SpriteFrame>> readSprite(std::span<const unsigned char> bytes);

// The picture of a frame that readSprite found in the same `bytes`: each colour index taken
// modulo the palette's size, a byte of 0 left out (it is transparent).
Image spritePicture(std::span<const unsigned char> bytes, const SpriteFrame& frame,
                    std::span<const Pixel> palette);

// The frame of the objects' sprite file that holds object `object`'s still picture: the
// objects' frames follow one another (an unused object has none), and the still frame is
// (stillFrame - firstFrame) / frameSize frames after the object's first. Refused, with the
// reason, when the ground file's record cannot say: a frame size of 0, or a still frame before
// the first.
Result<std::size_t> stillFrameIndex(const GroundFile& ground, std::size_t object);

} // namespace quillfen::preview
