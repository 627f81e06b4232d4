#pragma once

#include "common/result.h"
#include "preview/image.h"

#include <string>
#include <vector>

namespace quillfen::preview {

// The picture as the bytes of a PNG file (8-bit RGBA).
std::vector<unsigned char> encodePng(const Image& picture);

// Writes the picture as a PNG file at `path` through the one write, replacing a file that is
// there. Refused with "ERROR: cannot write <path>: <why>".
Status writePng(const std::string& path, const Image& picture);

} // namespace quillfen::preview
