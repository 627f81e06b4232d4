// Any bytes as a graphics set's files: refused with the file and the reason, or pictures that a
// level is drawn from at the set's size, never read past a file's end.
//
// The input: a byte whose lowest bit picks the Windows files (1) or the DOS ones (0), then the
// 1056 bytes of the ground file; for DOS the rest is VGAGRn.DAT; for Windows, the palette and the
// terrain sprites each after a 16-bit little-endian length, and the rest the objects' sprites.
#include "fuzz_support.h"
#include "preview/graphics_set.h"
#include "preview/ground_file.h"
#include "preview/level_layout.h"
#include "preview/level_render.h"

#include <algorithm>
#include <cstdint>

using namespace quillfen;
using namespace quillfen::preview;
using fuzz::require;

namespace {

class Input {
public:
    Input(const std::uint8_t* data, std::size_t size)
        : bytes_(reinterpret_cast<const char*>(data), size) {}
    std::string_view take(std::size_t count) {
        std::string_view part = bytes_.substr(0, std::min(count, bytes_.size()));
        bytes_.remove_prefix(part.size());
        return part;
    }
    std::string_view takeCounted() {
        std::string_view length = take(2);
        std::size_t count = length.size() < 2 ? 0
                                              : static_cast<unsigned char>(length[0]) |
                                                    static_cast<unsigned char>(length[1]) << 8;
        return take(count);
    }
    std::string_view rest() { return take(bytes_.size()); }

private:
    std::string_view bytes_;
};

// Every piece and object of the set once, some upside down, some cut at the level's edges.
LevelLayout everything() {
    LevelLayout layout;
    for (unsigned piece = 0; piece < kTerrainKinds; ++piece)
        layout.terrain.push_back({.x = static_cast<int>(piece * 25) - 16,
                                  .y = static_cast<int>(piece % 9) * 20 - 10,
                                  .piece = piece,
                                  .noOverwrite = piece % 5 == 0,
                                  .upsideDown = piece % 3 == 0,
                                  .erase = piece % 7 == 0});
    for (unsigned object = 0; object < kObjectKinds; ++object)
        layout.objects.push_back({.x = static_cast<int>(object * 100) - 8,
                                  .y = static_cast<int>(object % 4) * 50 - 20,
                                  .object = object,
                                  .onlyOverTerrain = object % 2 == 1,
                                  .upsideDown = object % 3 == 0});
    return layout;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input input(data, size);
    const std::string_view mode = input.take(1);
    SetFiles files;
    files.windows = !mode.empty() && (mode[0] & 1);
    const std::string& folder = fuzz::workFolder();
    files.ground = folder + "/ground.dat";
    const std::string_view ground = input.take(kGroundFileSize);
    fuzz::writeFile(files.ground, ground);
    files.pictures = folder + (files.windows ? "/terrain.spr" : "/VGAGR0.DAT");
    if (files.windows) {
        files.palette = folder + "/set.pal";
        files.objects = folder + "/objects.spr";
        fuzz::writeFile(files.palette, input.takeCounted());
        fuzz::writeFile(files.pictures, input.takeCounted());
        fuzz::writeFile(files.objects, input.rest());
    } else {
        fuzz::writeFile(files.pictures, input.rest());
    }

    auto set = loadGraphicsSet(files);
    if (!set) {
        require(set.error().starts_with("ERROR: "), "a refusal is an error for the user");
        return 0;
    }
    auto records =
        readGroundFile({reinterpret_cast<const unsigned char*>(ground.data()), ground.size()});
    require(records.ok(), "a set is read only from a whole ground file");
    for (std::size_t i = 0; i < kTerrainKinds; ++i) {
        const Image& piece = set->terrain[i];
        require(piece.pixels.size() == std::size_t(piece.width) * std::size_t(piece.height),
                "a piece holds its pixels");
        const auto& named = records->terrain[i];
        if (named.width == 0)
            require(piece.empty(), "a piece the ground file does not name is not drawn");
        else if (!files.windows) // a piece the ground file names 8 x 0 has no pixels to draw
            require(unsigned(piece.width) == named.width && unsigned(piece.height) == named.height,
                    "a DOS piece has the ground file's size");
    }
    const LevelPicture picture = renderLevel(everything(), *set);
    require(picture.image.width == kLevelWidth * set->scale &&
                picture.image.height == kLevelHeight * set->scale,
            "a level is drawn at the set's size");
    return 0;
}
