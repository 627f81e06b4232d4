#include "preview/graphics_set.h"

#include "common/windows1252.h"
#include "host/file_io.h"
#include "levelfile/dos_sections.h"
#include "preview/dos_graphics.h"
#include "preview/windows_graphics.h"

namespace quillfen::preview {
namespace {

// Far more than any graphics file of the game; a longer file is refused unread.
constexpr std::size_t kLargestGraphicsFile = std::size_t{1} << 24;

Result<std::vector<unsigned char>> readGraphicsFile(const std::string& path) {
    auto bytes = readWholeFile(path, kLargestGraphicsFile);
    if (!bytes)
        return Error{explained("ERROR: cannot read " + path + ": ", bytes.error())};
    return bytes;
}

Result<GraphicsSet> loadDosSet(const SetFiles& files, const GroundFile& ground) {
    auto bytes = readGraphicsFile(files.pictures);
    if (!bytes)
        return Error{bytes.error()};
    auto sections = levelfile::unpackSections(*bytes, "section");
    if (!sections)
        return Error{damagedGraphics(files.pictures, sections.error())};
    auto set = dosGraphics(ground, *sections);
    if (!set)
        return Error{damagedGraphics(files.pictures, set.error())};
    return set;
}

struct SpriteFile {
    std::string path;
    std::vector<unsigned char> bytes;
    std::vector<SpriteFrame> frames;
};

Result<SpriteFile> readSpriteFile(const std::string& path) {
    auto bytes = readGraphicsFile(path);
    if (!bytes)
        return Error{bytes.error()};
    auto frames = readSprite(*bytes);
    if (!frames)
        return Error{damagedGraphics(path, frames.error())};
    return SpriteFile{path, std::move(*bytes), std::move(*frames)};
}

// The picture of frame `frame`, which `name` (a piece or an object) is drawn from.
Result<Image> framePicture(const SpriteFile& file, std::size_t frame, const std::string& name,
                           const std::vector<Pixel>& palette) {
    if (frame >= file.frames.size())
        return Error{damagedGraphics(file.path, "it holds " + std::to_string(file.frames.size()) +
                                                    " frames, and " + name + " would be frame " +
                                                    std::to_string(frame))};
    return spritePicture(file.bytes, file.frames[frame], palette);
}

Result<GraphicsSet> loadWindowsSet(const SetFiles& files, const GroundFile& ground) {
    auto paletteBytes = readGraphicsFile(files.palette);
    if (!paletteBytes)
        return Error{paletteBytes.error()};
    auto palette = readPalette(*paletteBytes);
    if (!palette)
        return Error{damagedGraphics(files.palette, palette.error())};
    auto terrain = readSpriteFile(files.pictures);
    if (!terrain)
        return Error{terrain.error()};
    auto objects = readSpriteFile(files.objects);
    if (!objects)
        return Error{objects.error()};

    GraphicsSet set;
    set.scale = 2;
    for (std::size_t i = 0; i < kTerrainKinds; ++i) {
        if (ground.terrain[i].width == 0)
            continue;
        // Piece i is frame i.
        auto picture = framePicture(*terrain, i, "terrain piece " + std::to_string(i), *palette);
        if (!picture)
            return Error{picture.error()};
        set.terrain[i] = std::move(*picture);
    }
    for (std::size_t i = 0; i < kObjectKinds; ++i) {
        if (ground.objects[i].width == 0)
            continue;
        auto still = stillFrameIndex(ground, i);
        if (!still)
            return Error{damagedGraphics(files.ground, still.error())};
        auto picture = framePicture(*objects, *still, "object " + std::to_string(i), *palette);
        if (!picture)
            return Error{picture.error()};
        set.objects[i] = std::move(*picture);
    }
    return set;
}

} // namespace

std::string damagedGraphics(const std::string& path, const std::string& reason) {
    return "ERROR: the graphics file " + path + " is damaged: " + reason;
}

Result<GraphicsSet> loadGraphicsSet(const SetFiles& files) {
    auto groundBytes = readGraphicsFile(files.ground);
    if (!groundBytes)
        return Error{groundBytes.error()};
    auto ground = readGroundFile(*groundBytes);
    if (!ground)
        return Error{damagedGraphics(files.ground, ground.error())};
    return files.windows ? loadWindowsSet(files, *ground) : loadDosSet(files, *ground);
}

} // namespace quillfen::preview
