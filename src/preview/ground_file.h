#pragma once

#include "common/result.h"
#include "preview/image.h"

#include <array>
#include <cstddef>
#include <span>

namespace quillfen::preview {

// The ground file of a graphics set (GROUNDnO.DAT, styles/<set>.dat): what its pieces and
// objects are and where their pictures lie, and the set's colours. Words little-endian.
inline constexpr std::size_t kGroundFileSize = 1056;
inline constexpr std::size_t kObjectKinds = 16;
inline constexpr std::size_t kTerrainKinds = 64;

struct ObjectRecord {
    unsigned frames = 0;
    unsigned width = 0; // 0: no such object
    unsigned height = 0;
    unsigned frameSize = 0;  // bytes of one frame in VGAGRn.DAT
    unsigned maskOffset = 0; // from a frame's picture to its mask
    unsigned firstFrame = 0; // byte positions in the objects' section
    unsigned stillFrame = 0; // the frame a still picture shows
};

struct TerrainRecord {
    unsigned width = 0; // 0: no such piece
    unsigned height = 0;
    unsigned picture = 0; // byte positions in the terrain section
    unsigned mask = 0;
};

struct GroundFile {
    std::array<ObjectRecord, kObjectKinds> objects;
    std::array<TerrainRecord, kTerrainKinds> terrain;
    // The 16 colours of the DOS pictures: six fixed ones, then the set's own.
    std::array<Pixel, 16> palette;
};

// The ground file held in `bytes`; refused, with the reason, when it is not 1056 bytes long.
Result<GroundFile> readGroundFile(std::span<const unsigned char> bytes);

} // namespace quillfen::preview
