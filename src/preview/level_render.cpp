#include "preview/level_render.h"

#include <algorithm>

namespace quillfen::preview {
namespace {

// While a level is drawn, the alpha byte of each pixel says what is there: 0 nothing, its
// high bit terrain, any other bit an object; the picture is made opaque at the end. A piece's
// solid pixel, alpha 0xFF, so makes terrain as it is drawn, and a pixel that is no part of it
// is 0. Whole pixels are handled as words, so that the compiler draws a row a few at a time.
constexpr Pixel kTerrain = rgba(0, 0, 0, 0x80);
constexpr Pixel kObject = rgba(0, 0, 0, 0x7F);
constexpr Pixel kAlpha = rgba(0, 0, 0, 0xFF);

// Each rule gives the pixel that a picture's pixel `from` makes of the level's pixel `to`.
constexpr auto drawTerrain = [](Pixel from, Pixel to) { return from != 0 ? from : to; };
// Only where there is no terrain yet.
constexpr auto addTerrain = [](Pixel from, Pixel to) {
    return from != 0 && (to & kTerrain) == 0 ? from : to;
};
// Black, and no longer terrain.
constexpr auto eraseTerrain = [](Pixel from, Pixel to) { return from != 0 ? 0 : to; };
// An object's pixel keeps the terrain under it as it was.
constexpr Pixel objectPixel(Pixel from, Pixel to) {
    return (from & ~kAlpha) | (to & kTerrain) | kObject;
}
constexpr auto drawObject = [](Pixel from, Pixel to) {
    return from != 0 ? objectPixel(from, to) : to;
};
constexpr auto objectOverTerrain = [](Pixel from, Pixel to) {
    return from != 0 && (to & kTerrain) != 0 ? objectPixel(from, to) : to;
};
// Behind terrain and the objects drawn before.
constexpr auto objectBehind = [](Pixel from, Pixel to) {
    return from != 0 && (to & kAlpha) == 0 ? objectPixel(from, to) : to;
};

class Canvas {
public:
    Canvas(int width, int height) : image_(width, height) {}

    // Draws `picture` with its top left corner at (x, y), cut to the canvas, by `rule`.
    template <class Rule>
    void draw(const Image& picture, int x, int y, bool upsideDown, Rule rule) {
        int left = std::max(0, -x), right = std::min(picture.width, image_.width - x);
        int top = std::max(0, -y), bottom = std::min(picture.height, image_.height - y);
        if (left >= right)
            return;
        for (int row = top; row < bottom; ++row) {
            const Pixel* from = picture.row(upsideDown ? picture.height - 1 - row : row) + left;
            Pixel* to = image_.row(y + row) + x + left;
            for (int i = 0; i < right - left; ++i)
                to[i] = rule(from[i], to[i]);
        }
    }

    Image take() {
        for (Pixel& pixel : image_.pixels)
            pixel |= kAlpha;
        return std::move(image_);
    }

private:
    Image image_;
};

} // namespace

LevelPicture renderLevel(const LevelLayout& layout, const GraphicsSet& graphics) {
    const int scale = graphics.scale;
    Canvas canvas(kLevelWidth * scale, kLevelHeight * scale);
    LevelPicture picture;
    if (layout.specialGraphics == 0) {
        for (const TerrainPlacement& piece : layout.terrain) {
            const Image& image = graphics.terrain[piece.piece];
            int x = piece.x * scale, y = piece.y * scale;
            if (image.empty())
                continue;
            if (piece.noOverwrite)
                canvas.draw(image, x, y, piece.upsideDown, addTerrain);
            else if (piece.erase)
                canvas.draw(image, x, y, piece.upsideDown, eraseTerrain);
            else
                canvas.draw(image, x, y, piece.upsideDown, drawTerrain);
        }
    } else {
        picture.note = "the picture shows the level's objects only: its terrain is one big "
                       "picture (special graphics " +
                       std::to_string(layout.specialGraphics) + "), which is not drawn";
    }
    for (bool firstPass : {true, false}) {
        for (const ObjectPlacement& object : layout.objects) {
            const Image& image = graphics.objects[object.object];
            int x = object.x * scale, y = object.y * scale;
            if (object.onlyOverTerrain != firstPass || image.empty())
                continue;
            if (object.onlyOverTerrain)
                canvas.draw(image, x, y, object.upsideDown, objectOverTerrain);
            else if (object.noOverwrite)
                canvas.draw(image, x, y, object.upsideDown, objectBehind);
            else
                canvas.draw(image, x, y, object.upsideDown, drawObject);
        }
    }
    picture.image = canvas.take();
    return picture;
}

} // namespace quillfen::preview
