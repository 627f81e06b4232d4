#include "preview/ground_file.h"

#include "database/byte_cursor.h"

#include <algorithm>
#include <string>

namespace quillfen::preview {
namespace {

constexpr std::size_t kObjectRecordSize = 28;
constexpr std::size_t kObjectFrames = 3, kObjectWidth = 4, kObjectHeight = 5, kObjectFrameSize = 6,
                      kObjectMaskOffset = 8, kObjectFirstFrame = 21, kObjectStillFrame = 23;
constexpr std::size_t kTerrainRecords = 448, kTerrainRecordSize = 8;
constexpr std::size_t kTerrainWidth = 0, kTerrainHeight = 1, kTerrainPicture = 2, kTerrainMask = 4;
// Eight colours of three 6-bit values each; before them the EGA colours, after them the
// standard and preview colours, which a still picture does not use.
constexpr std::size_t kSetColours = 984;

// The colours every set shares, as the VGA's 6-bit values; colour 7 and colours 8-15 are the
// set's own.
constexpr std::array<std::array<unsigned, 3>, 7> kFixedColours = {{{0x00, 0x00, 0x00},
                                                                   {0x10, 0x10, 0x38},
                                                                   {0x00, 0x2C, 0x00},
                                                                   {0x3C, 0x34, 0x34},
                                                                   {0x2C, 0x2C, 0x00},
                                                                   {0x3C, 0x08, 0x08},
                                                                   {0x20, 0x20, 0x20}}};

// The VGA takes only the low six bits of each value.
Pixel vgaColour(unsigned r, unsigned g, unsigned b) {
    auto eight = [](unsigned v) { return static_cast<std::uint8_t>((v & 63) * 255 / 63); };
    return rgba(eight(r), eight(g), eight(b));
}

} // namespace

Result<GroundFile> readGroundFile(std::span<const unsigned char> bytes) {
    if (bytes.size() != kGroundFileSize)
        return Error{"it is " + std::to_string(bytes.size()) + " bytes long, not " +
                         std::to_string(kGroundFileSize),
                     std::min(bytes.size(), kGroundFileSize)};
    ByteCursor file(bytes);
    GroundFile ground;
    for (std::size_t i = 0; i < kObjectKinds; ++i) {
        ByteCursor record = file.at(i * kObjectRecordSize);
        ground.objects[i] = {record.byte(kObjectFrames),     record.byte(kObjectWidth),
                             record.byte(kObjectHeight),     record.le16(kObjectFrameSize),
                             record.le16(kObjectMaskOffset), record.le16(kObjectFirstFrame),
                             record.le16(kObjectStillFrame)};
    }
    for (std::size_t i = 0; i < kTerrainKinds; ++i) {
        ByteCursor record = file.at(kTerrainRecords + i * kTerrainRecordSize);
        ground.terrain[i] = {record.byte(kTerrainWidth), record.byte(kTerrainHeight),
                             record.le16(kTerrainPicture), record.le16(kTerrainMask)};
    }
    for (std::size_t i = 0; i < kFixedColours.size(); ++i)
        ground.palette[i] =
            vgaColour(kFixedColours[i][0], kFixedColours[i][1], kFixedColours[i][2]);
    for (std::size_t i = 0; i < 8; ++i) {
        ByteCursor colour = file.at(kSetColours + 3 * i);
        ground.palette[8 + i] = vgaColour(colour.byte(0), colour.byte(1), colour.byte(2));
    }
    ground.palette[7] = ground.palette[8];
    return ground;
}

} // namespace quillfen::preview
