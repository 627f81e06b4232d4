#include "preview/windows_graphics.h"

#include "database/byte_cursor.h"

#include <algorithm>
#include <string>
#include <string_view>

namespace quillfen::preview {
namespace {

constexpr std::string_view kPaletteTag = " LAP";
constexpr std::size_t kPaletteCount = 4, kPaletteEntries = 6, kPaletteEntrySize = 4;

constexpr std::string_view kSpriteTag = "SRLE";
constexpr std::size_t kSpriteFrameCount = 4, kSpriteFirstFrame = 6, kSpriteHeaderSize = 8;
// A frame's header: six words.
constexpr std::size_t kFrameX = 0, kFrameY = 2, kFrameRows = 6, kFrameWidth = 8, kFrameHeight = 10,
                      kFrameHeaderSize = 12;

// A packet begins with skips: any number of these (127 columns each), then at most one byte
// below kLength. Its length byte is kLength + the number of pixels; kLength alone ends the row.
constexpr unsigned char kLongSkip = 0x7F;
constexpr unsigned char kLength = 0x80;

// The refusal of a file whose end came before a read at `offset` did.
Error endsAt(std::size_t offset) {
    return Error{"it ends before byte " + std::to_string(offset), offset};
}

bool hasTag(std::span<const unsigned char> bytes, std::string_view tag) {
    return bytes.size() >= tag.size() && std::equal(tag.begin(), tag.end(), bytes.begin());
}

// Walks the rows of `frame`, each packet checked against the file's end and the frame's edges,
// drawing its pixels into `into` when given. Gives the offset after the last row.
Result<std::size_t> walkRows(std::span<const unsigned char> bytes, std::size_t frameNumber,
                             const SpriteFrame& frame, Image* into,
                             std::span<const Pixel> palette) {
    std::size_t at = frame.rowsAt;
    for (unsigned row = 0; row < frame.rows; ++row) {
        const std::size_t rowAt = at;
        auto damaged = [&](const std::string& why) {
            return Error{"frame " + std::to_string(frameNumber) + ", row " + std::to_string(row) +
                             " (at byte " + std::to_string(rowAt) + "): " + why,
                         rowAt, frameNumber};
        };
        const std::string endsInside = "the file ends inside the row";
        std::size_t column = 0;
        for (;;) {
            while (at < bytes.size() && bytes[at] == kLongSkip) {
                column += kLongSkip;
                ++at;
            }
            if (at < bytes.size() && bytes[at] < kLength)
                column += bytes[at++];
            if (at >= bytes.size())
                return damaged(endsInside);
            if (bytes[at] < kLength)
                return damaged("a second skip where a packet's length belongs");
            std::size_t pixels = bytes[at++] - kLength;
            if (pixels == 0)
                break;
            if (pixels > bytes.size() - at)
                return damaged(endsInside);
            if (frame.xOffset + column + pixels > frame.width)
                return damaged("its pixels reach column " +
                               std::to_string(frame.xOffset + column + pixels) +
                               ", beyond the frame's width " + std::to_string(frame.width));
            if (into) {
                Pixel* line =
                    into->row(static_cast<int>(frame.yOffset + row)) + frame.xOffset + column;
                for (std::size_t i = 0; i < pixels; ++i)
                    if (unsigned index = bytes[at + i]; index != 0)
                        line[i] = palette[index % palette.size()];
            }
            at += pixels;
            column += pixels;
        }
    }
    return at;
}

} // namespace

Result<std::vector<Pixel>> readPalette(std::span<const unsigned char> bytes) {
    if (!hasTag(bytes, kPaletteTag))
        return Error{"it does not begin with the palette's tag \" LAP\""};
    ByteCursor file(bytes);
    std::size_t count = file.le16(kPaletteCount);
    std::size_t needed = kPaletteEntries + count * kPaletteEntrySize;
    if (count == 0)
        return Error{"it holds no colours"};
    if (needed > bytes.size())
        return Error{"its " + std::to_string(count) + " colours need " + std::to_string(needed) +
                         " bytes, and it has " + std::to_string(bytes.size()),
                     bytes.size()};
    std::vector<Pixel> colours;
    for (std::size_t i = 0; i < count; ++i) {
        ByteCursor entry = file.at(kPaletteEntries + i * kPaletteEntrySize);
        colours.push_back(rgba(static_cast<std::uint8_t>(entry.byte(0)),
                               static_cast<std::uint8_t>(entry.byte(1)),
                               static_cast<std::uint8_t>(entry.byte(2))));
    }
    if (auto end = file.pastEnd())
        return endsAt(*end);
    return colours;
}

Result<std::vector<SpriteFrame>> readSprite(std::span<const unsigned char> bytes) {
    if (!hasTag(bytes, kSpriteTag) || bytes.size() < kSpriteHeaderSize)
        return Error{"it does not begin with the sprite file's tag \"SRLE\" and its header"};
    ByteCursor file(bytes);
    std::size_t count = file.le16(kSpriteFrameCount);
    std::size_t at = file.le16(kSpriteFirstFrame);
    if (at < kSpriteHeaderSize)
        return Error{"its first frame begins at byte " + std::to_string(at) +
                         ", inside the file's header",
                     at};
    std::vector<SpriteFrame> frames;
    for (std::size_t i = 0; i < count; ++i) {
        auto damaged = [&](const std::string& why) {
            return Error{"frame " + std::to_string(i) + " (at byte " + std::to_string(at) +
                             "): " + why,
                         at, i};
        };
        if (at > bytes.size() || bytes.size() - at < kFrameHeaderSize)
            return damaged("the file ends inside its header");
        ByteCursor header = file.at(at);
        SpriteFrame frame{header.le16(kFrameX),      header.le16(kFrameY),
                          header.le16(kFrameRows),   header.le16(kFrameWidth),
                          header.le16(kFrameHeight), at + kFrameHeaderSize};
        if (frame.width > kLargestFrameSide || frame.height > kLargestFrameSide)
            return damaged("it is " + std::to_string(frame.width) + " x " +
                           std::to_string(frame.height) + ", larger than any picture of the game");
        if (frame.yOffset + frame.rows > frame.height)
            return damaged("its " + std::to_string(frame.rows) + " rows from row " +
                           std::to_string(frame.yOffset) + " reach below its height " +
                           std::to_string(frame.height));
        auto end = walkRows(bytes, i, frame, nullptr, {});
        if (!end)
            return end.failure();
        frames.push_back(frame);
        at = *end;
    }
    if (auto end = file.pastEnd())
        return endsAt(*end);
    return frames;
}

Image spritePicture(std::span<const unsigned char> bytes, const SpriteFrame& frame,
                    std::span<const Pixel> palette) {
    Image picture(static_cast<int>(frame.width), static_cast<int>(frame.height));
    (void)walkRows(bytes, 0, frame, &picture, palette);
    return picture;
}

Result<std::size_t> stillFrameIndex(const GroundFile& ground, std::size_t object) {
    const ObjectRecord& record = ground.objects[object];
    const std::string name = "object " + std::to_string(object);
    if (record.frameSize == 0)
        return Error{name + " has frames of 0 bytes"};
    if (record.stillFrame < record.firstFrame)
        return Error{name + "'s still frame lies before its first"};
    std::size_t index = (record.stillFrame - record.firstFrame) / record.frameSize;
    for (std::size_t before = 0; before < object; ++before)
        if (ground.objects[before].width != 0)
            index += ground.objects[before].frames;
    return index;
}

} // namespace quillfen::preview
