#pragma once

#include <cstddef>
#include <span>
#include <vector>

namespace quillfen::preview {

// The level's size at the DOS pictures' scale.
inline constexpr int kLevelWidth = 1584;
inline constexpr int kLevelHeight = 160;

// One terrain record of a level file, its position in level pixels at the DOS scale.
struct TerrainPlacement {
    int x = 0, y = 0;
    unsigned piece = 0;
    bool noOverwrite = false; // drawn only where there is no terrain yet (wins over erase)
    bool upsideDown = false;
    bool erase = false; // clears the terrain where the piece is solid
};

// One object of a level file that the game draws, at the place where the game draws it.
struct ObjectPlacement {
    int x = 0, y = 0;
    unsigned object = 0;
    bool noOverwrite = false;     // behind terrain and earlier objects
    bool onlyOverTerrain = false; // drawn in the first pass, only where there is terrain
    bool upsideDown = false;
};

// What a still picture of a level draws, from the level file's 2048 bytes.
struct LevelLayout {
    unsigned graphicsSet = 0;
    unsigned specialGraphics = 0; // not 0: one big picture, which is not read, stands for terrain
    std::vector<TerrainPlacement> terrain; // in file order, empty records left out
    std::vector<ObjectPlacement> objects;  // in record order, those the game reads
};

// The layout of the Windows level file held in `level` (2048 bytes, as readLevelBytes accepts).
// Objects are placed at their x less 16 rounded down to a multiple of 8, as the game draws
// them; of the records after the 16th only entrances count, as the game reads no others.
LevelLayout readLayout(std::span<const unsigned char> level);

} // namespace quillfen::preview
