#include "preview/level_layout.h"

#include "database/byte_cursor.h"
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

// Terrain: 400 records of 4 bytes, two big-endian words: the flags in the first word's top
// three bits and x + 16 in its low twelve; y + 4 in the second word's top nine bits, then a bit
// the game does not read, then the piece in the low six.
constexpr std::size_t kTerrain = 0x120, kTerrainRecords = 400, kTerrainRecordSize = 4;
constexpr unsigned kTerrainNoOverwrite = 4, kTerrainUpsideDown = 2, kTerrainErase = 1;

int signedWord(const ByteCursor& record, std::size_t offset) {
    return static_cast<std::int16_t>(record.be16(offset));
}

} // namespace

LevelLayout readLayout(std::span<const unsigned char> level) {
    ByteCursor file(level);
    LevelLayout layout;
    layout.graphicsSet = file.be16(levelfile::kGraphicsSetOffset);
    layout.specialGraphics = file.be16(levelfile::kSpecialGraphicsOffset);

    for (std::size_t i = 0; i < kObjectRecords; ++i) {
        ByteCursor record = file.at(kObjects + i * kObjectRecordSize);
        if (std::ranges::all_of(record.field(0, kObjectRecordSize),
                                [](unsigned char b) { return b == 0; }))
            continue;
        ObjectPlacement object;
        object.object = record.byte(kObjectNumber) & 0x0F;
        if (i >= kObjectsRead && object.object != kEntrance)
            continue;
        // (x - 16) rounded down, also below 0, to a multiple of 8.
        object.x = (signedWord(record, kObjectX) - 16) & ~7;
        object.y = signedWord(record, kObjectY);
        object.noOverwrite = (record.byte(kObjectFlags) & kObjectNoOverwrite) != 0;
        object.onlyOverTerrain = (record.byte(kObjectFlags) & kObjectOnlyOverTerrain) != 0;
        object.upsideDown = record.byte(kObjectTurn) == kUpsideDownObject;
        layout.objects.push_back(object);
    }

    for (std::size_t i = 0; i < kTerrainRecords; ++i) {
        ByteCursor record = file.at(kTerrain + i * kTerrainRecordSize);
        if (std::ranges::all_of(record.field(0, kTerrainRecordSize),
                                [](unsigned char byte) { return byte == 0xFF; }))
            continue;
        TerrainPlacement piece;
        unsigned first = record.be16(0), second = record.be16(2);
        piece.x = static_cast<int>(first & 0x0FFF) - 16;
        // Nine bits, of which 256 and above stand for rows above the level.
        int y = static_cast<int>(second >> 7);
        piece.y = (y >= 256 ? y - 512 : y) - 4;
        piece.piece = second & 0x3F;
        unsigned flags = first >> 13;
        piece.noOverwrite = (flags & kTerrainNoOverwrite) != 0;
        piece.upsideDown = (flags & kTerrainUpsideDown) != 0;
        piece.erase = (flags & kTerrainErase) != 0;
        layout.terrain.push_back(piece);
    }
    return layout;
}

} // namespace quillfen::preview
