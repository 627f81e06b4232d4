#include "preview/level_render.h"

#include <algorithm>

namespace quillfen::preview {
namespace {

// What each pixel of the level holds beside its colour.
constexpr unsigned char kTerrain = 1, kObject = 2;

// Where a picture's solid pixels are drawn and what they leave behind: drawn where the marks
// hold all of `needs` and none of `forbids`; then `clears` taken off and `sets` put on.
struct DrawRule {
    unsigned char needs = 0, forbids = 0, sets = 0, clears = 0;
    bool erase = false; // black instead of the picture's colour
};

DrawRule terrainRule(const TerrainPlacement& piece) {
    if (piece.noOverwrite)
        return {.forbids = kTerrain, .sets = kTerrain};
    if (piece.erase)
        return {.clears = kTerrain, .erase = true};
    return {.sets = kTerrain};
}

DrawRule objectRule(const ObjectPlacement& object) {
    if (object.onlyOverTerrain)
        return {.needs = kTerrain, .sets = kObject};
    if (object.noOverwrite)
        return {.forbids = kTerrain | kObject, .sets = kObject};
    return {.sets = kObject};
}

class Canvas {
public:
    Canvas(int width, int height)
        : image_(width, height, kBlack), marks_(image_.pixels.size(), 0) {}

    // Draws `picture` with its top left corner at (x, y), cut to the canvas.
    void draw(const Image& picture, int x, int y, bool upsideDown, const DrawRule& rule) {
        int left = std::max(0, -x), right = std::min(picture.width, image_.width - x);
        int top = std::max(0, -y), bottom = std::min(picture.height, image_.height - y);
        if (left >= right)
            return;
        for (int row = top; row < bottom; ++row) {
            const Rgba* from = &picture.at(left, upsideDown ? picture.height - 1 - row : row);
            std::size_t to = static_cast<std::size_t>(y + row) * image_.width + (x + left);
            Rgba* pixel = &image_.pixels[to];
            unsigned char* mark = &marks_[to];
            for (int i = 0; i < right - left; ++i) {
                if (from[i].a == 0 || (mark[i] & rule.needs) != rule.needs ||
                    (mark[i] & rule.forbids) != 0)
                    continue;
                pixel[i] = rule.erase ? kBlack : from[i];
                mark[i] = static_cast<unsigned char>((mark[i] & ~rule.clears) | rule.sets);
            }
        }
    }

    Image take() { return std::move(image_); }

private:
    Image image_;
    std::vector<unsigned char> marks_;
};

} // namespace

LevelPicture renderLevel(const LevelLayout& layout, const GraphicsSet& graphics) {
    const int scale = graphics.scale;
    Canvas canvas(kLevelWidth * scale, kLevelHeight * scale);
    LevelPicture picture;
    if (layout.specialGraphics == 0) {
        for (const TerrainPlacement& piece : layout.terrain) {
            const Image& image = graphics.terrain[piece.piece];
            if (!image.empty())
                canvas.draw(image, piece.x * scale, piece.y * scale, piece.upsideDown,
                            terrainRule(piece));
        }
    } else {
        picture.note = "the picture shows the level's objects only: its terrain is one big "
                       "picture (special graphics " +
                       std::to_string(layout.specialGraphics) + "), which is not drawn";
    }
    for (bool firstPass : {true, false}) {
        for (const ObjectPlacement& object : layout.objects) {
            const Image& image = graphics.objects[object.object];
            if (object.onlyOverTerrain == firstPass && !image.empty())
                canvas.draw(image, object.x * scale, object.y * scale, object.upsideDown,
                            objectRule(object));
        }
    }
    picture.image = canvas.take();
    return picture;
}

} // namespace quillfen::preview
