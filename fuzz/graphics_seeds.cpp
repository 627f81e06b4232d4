// Writes the graphics seed inputs of fuzz/corpus/graphics/ from the tests' own graphics files:
//
//   build/graphics_seeds fuzz/corpus/graphics
//
// A whole DOS set and a whole Windows set start the fuzzer on every reader's paths; the damages
// each must refuse start it at the edges: cut files, a palette that claims more colours than it
// holds, a sprite without its tag.
#include "preview/make_graphics.h"

#include <cstdio>
#include <fstream>
#include <string>

using namespace quillfen;
using Bytes = std::vector<unsigned char>;

namespace {

void write(const std::string& folder, const char* name, const Bytes& bytes) {
    std::ofstream out(folder + "/" + name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out)
        std::fprintf(stderr, "cannot write %s/%s\n", folder.c_str(), name);
}

void append(Bytes& to, const Bytes& bytes, bool counted) {
    if (counted) {
        to.push_back(static_cast<unsigned char>(bytes.size()));
        to.push_back(static_cast<unsigned char>(bytes.size() >> 8));
    }
    to.insert(to.end(), bytes.begin(), bytes.end());
}

Bytes dosInput(const Bytes& ground, const Bytes& pictures) {
    Bytes input = {0};
    append(input, ground, false);
    append(input, pictures, false);
    return input;
}

Bytes windowsInput(const Bytes& ground, const Bytes& palette, const Bytes& terrain,
                   const Bytes& objects) {
    Bytes input = {1};
    append(input, ground, false);
    append(input, palette, true);
    append(input, terrain, true);
    append(input, objects, false);
    return input;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: graphics_seeds FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    const testing::TestGraphics graphics = testing::testGraphics();
    const testing::DosFiles dos = testing::dosFiles(graphics);
    const Bytes pictures = testing::makePack({dos.terrain, dos.objects});
    std::vector<testing::TextPicture> objectFrames;
    for (const testing::TestObject& object : graphics.objects)
        for (const testing::TextPicture& frame : testing::framesOf(object))
            objectFrames.push_back(frame);
    const Bytes palette = testing::windowsPalette(graphics);
    const Bytes terrain = testing::sprite(graphics.terrain);
    const Bytes objects = testing::sprite(objectFrames);

    write(folder, "dos-set", dosInput(dos.ground, pictures));
    write(folder, "windows-set", windowsInput(dos.ground, palette, terrain, objects));

    write(folder, "dos-pictures-cut",
          dosInput(dos.ground, Bytes(pictures.begin(), pictures.end() - 7)));
    Bytes oneSection = testing::makePack({dos.terrain});
    write(folder, "dos-without-objects", dosInput(dos.ground, oneSection));
    write(folder, "ground-cut", dosInput(Bytes(dos.ground.begin(), dos.ground.end() - 1), {}));
    Bytes greedy = palette;
    greedy[4] = 200; // more colours than the file holds
    write(folder, "palette-too-short", windowsInput(dos.ground, greedy, terrain, objects));
    Bytes untagged = terrain;
    untagged[0] = 'X';
    write(folder, "sprite-untagged", windowsInput(dos.ground, palette, untagged, objects));
    write(folder, "sprite-cut",
          windowsInput(dos.ground, palette, terrain, Bytes(objects.begin(), objects.end() - 3)));
    return 0;
}
