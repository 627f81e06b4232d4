#include "preview/level_preview.h"

#include "host/file_io.h"
#include "levelfile/level_file.h"
#include "levelfile/level_pack.h"

namespace quillfen::preview {

Result<std::vector<LevelPreview>> previewFile(const std::string& path, GameGraphics& graphics,
                                              GraphicsPlaces places) {
    places.levelFile = path;
    const std::string name = fileNameOf(path);
    auto bytes = readWholeFile(path, levelfile::kLargestPack);
    if (!bytes)
        return Error{explained("ERROR: cannot read " + name + ": ", bytes.error())};

    // A pack's sections say far more of what they are than a level file's size and first byte.
    std::vector<std::vector<unsigned char>> levels;
    bool pack = false;
    if (auto unpacked = levelfile::unpackLevelPack(*bytes)) {
        levels = std::move(*unpacked);
        pack = true;
        if (levelfile::isSequelPack(fileNameOf(path), false))
            for (auto& level : levels)
                levelfile::renumberSequelSet(level);
    } else if (auto level = levelfile::readLevelBytes(*bytes); level) {
        levels.push_back(std::move(*bytes));
    } else {
        return Error{"ERROR: " + name +
                     " is neither a Windows Lemmings level file nor a DOS level pack: " +
                     level.error() + "; as a pack, " + unpacked.error()};
    }

    std::vector<LevelPreview> previews;
    for (std::size_t i = 0; i < levels.size(); ++i) {
        LevelLayout layout = readLayout(levels[i]);
        auto set = graphics.find(layout.graphicsSet, places);
        if (!set)
            return Error{set.error()};
        auto info = levelfile::readLevelBytes(levels[i]);
        previews.push_back(
            {pack ? std::optional(i) : std::nullopt, info ? info->title : "", layout, *set});
    }
    return previews;
}

} // namespace quillfen::preview
