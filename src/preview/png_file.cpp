#include "preview/png_file.h"

#include "host/file_io.h"
#include "host/file_write.h"
#include "preview/graphics_set.h"

// The encoder alone: every file goes through the host layer, none through stdio.
#define STBI_WRITE_NO_STDIO
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

namespace quillfen::preview {

std::vector<unsigned char> encodePng(const Image& picture) {
    std::vector<unsigned char> png;
    auto append = [](void* context, void* data, int size) {
        auto& out = *static_cast<std::vector<unsigned char>*>(context);
        auto* bytes = static_cast<const unsigned char*>(data);
        out.insert(out.end(), bytes, bytes + size);
    };
    stbi_write_png_to_func(append, &png, picture.width, picture.height, 4, picture.pixels.data(),
                           picture.width * 4);
    return png;
}

Status writePng(const std::string& path, const Image& picture) {
    std::vector<unsigned char> png = encodePng(picture);
    if (png.empty())
        return Error{"ERROR: cannot write " + path + ": the picture cannot be encoded"};
    if (auto written = writeFile(path, png); !written)
        return Error{explained("ERROR: cannot write " + path + ": ", written.error())};
    return success();
}

} // namespace quillfen::preview
