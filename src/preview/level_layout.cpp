#include "preview/level_layout.h"

#include "levelfile/level_file.h"

#include <algorithm>

namespace quillfen::preview {
namespace {

// Objects: 32 records of 8 bytes; big-endian words.
constexpr std::size_t kObjects = 0x20, kObjectRecords = 32, kObjectRecordSize = 8;
constexpr std::size_t kObjectsRead = 16; // the game reads no more, but for entrances
constexpr unsigned kEntrance = 1;
constexpr std::size_t kObjectX = 0, kObjectY = 2, kObjectNumber = 5, kObjectFlags = 6,
                      kObjectTurn = 7;
constexpr unsigned kObjectNoOverwrite = 0x80, kObjectOnlyOverTerrain = 0x40;
constexpr unsigned kUpsideDownObject = 0x8F;

// Terrain: 400 records of 4 bytes b0 b1 b2 b3.
constexpr std::size_t kTerrain = 0x120, kTerrainRecords = 400, kTerrainRecordSize = 4;
constexpr unsigned kTerrainNoOverwrite = 4, kTerrainUpsideDown = 2, kTerrainErase = 1;

int signedWord(std::span<const unsigned char> bytes, std::size_t offset) {
    return static_cast<std::int16_t>(levelfile::bigEndianWord(bytes, offset));
}

} // namespace

LevelLayout readLayout(std::span<const unsigned char> level) {
    LevelLayout layout;
    layout.graphicsSet = levelfile::bigEndianWord(level, levelfile::kGraphicsSetOffset);
    layout.specialGraphics = levelfile::bigEndianWord(level, levelfile::kSpecialGraphicsOffset);

    for (std::size_t i = 0; i < kObjectRecords; ++i) {
        auto record = level.subspan(kObjects + i * kObjectRecordSize, kObjectRecordSize);
        if (std::all_of(record.begin(), record.end(), [](unsigned char b) { return b == 0; }))
            continue;
        ObjectPlacement object;
        object.object = record[kObjectNumber] & 0x0F;
        if (i >= kObjectsRead && object.object != kEntrance)
            continue;
        // (x - 16) rounded down, also below 0, to a multiple of 8.
        object.x = (signedWord(record, kObjectX) - 16) & ~7;
        object.y = signedWord(record, kObjectY);
        object.noOverwrite = (record[kObjectFlags] & kObjectNoOverwrite) != 0;
        object.onlyOverTerrain = (record[kObjectFlags] & kObjectOnlyOverTerrain) != 0;
        object.upsideDown = record[kObjectTurn] == kUpsideDownObject;
        layout.objects.push_back(object);
    }

    for (std::size_t i = 0; i < kTerrainRecords; ++i) {
        auto b = level.subspan(kTerrain + i * kTerrainRecordSize, kTerrainRecordSize);
        if (std::all_of(b.begin(), b.end(), [](unsigned char byte) { return byte == 0xFF; }))
            continue;
        TerrainPlacement piece;
        piece.x = ((b[0] & 0x0F) << 8 | b[1]) - 16;
        // Nine bits, of which 256 and above stand for rows above the level.
        int y = b[2] << 1 | b[3] >> 7;
        piece.y = (y >= 256 ? y - 512 : y) - 4;
        piece.piece = b[3] & 0x3F;
        unsigned flags = b[0] >> 5;
        piece.noOverwrite = (flags & kTerrainNoOverwrite) != 0;
        piece.upsideDown = (flags & kTerrainUpsideDown) != 0;
        piece.erase = (flags & kTerrainErase) != 0;
        layout.terrain.push_back(piece);
    }
    return layout;
}

} // namespace quillfen::preview
