#pragma once

#include "common/result.h"
#include "preview/ground_file.h"
#include "preview/image.h"

#include <array>
#include <string>

namespace quillfen::preview {

// The decoded pictures of one graphics set, ready to draw: each terrain piece, and the still
// frame of each object, empty where the ground file has none.
struct GraphicsSet {
    // 1 for the DOS pictures, 2 for the Windows game's big pictures, which are twice the DOS
    // size both ways: positions in the level are multiplied by it.
    int scale = 1;
    std::array<Image, kTerrainKinds> terrain;
    std::array<Image, kObjectKinds> objects;
};

// The files of one graphics set in a game folder (host paths).
struct SetFiles {
    bool windows = false;
    std::string ground = {};   // GROUNDnO.DAT, or styles/<set>.dat
    std::string pictures = {}; // VGAGRn.DAT, or the big terrain pictures styles/<set>b.spr
    std::string objects = {};  // Windows: the big object pictures styles/<set>ob.spr
    std::string palette = {};  // Windows: styles/<set>.pal

    auto operator<=>(const SetFiles&) const = default;
};

// The set's pictures read from its files. Refused with "ERROR: cannot read <file>: <why>", or
// "ERROR: the graphics file <file> is damaged: <why>" when one is not what its format says or
// lacks a picture that the ground file names; no file is read past its end.
Result<GraphicsSet> loadGraphicsSet(const SetFiles& files);

// "ERROR: the graphics file <path> is damaged: <reason>".
std::string damagedGraphics(const std::string& path, const std::string& reason);

} // namespace quillfen::preview
