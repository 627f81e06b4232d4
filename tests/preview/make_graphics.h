#pragma once

// Graphics files made from pictures drawn in text, in the layouts of the DOS and the Windows
// game, so that the tests and the benchmarks draw levels without any file of the game.
#include "levelfile/level_file.h"
#include "levelfile/make_pack.h"
#include "temp_dir.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace quillfen::testing {

// One string a row: '.' is no part of the picture, a hex digit the colour of a pixel that is.
using TextPicture = std::vector<std::string>;

struct TestObject {
    TextPicture still;
    unsigned frames = 1; // the still frame is the last; the others are drawn in colour 5
};

struct TestGraphics {
    std::vector<TextPicture> terrain;
    std::vector<TestObject> objects;
    // The set's eight colours, R, G and B as the VGA's 6-bit values.
    std::array<unsigned char, 24> colours = {63, 0,  63, 0,  63, 63, 40, 20, 0,  20, 40, 60,
                                             63, 63, 0,  30, 0,  50, 10, 50, 10, 50, 10, 40};
};

// A few pieces and objects: rows of one colour, holes, gaps and runs longer than a sprite's
// packet at twice the size, an empty row, solid black; objects of one to three frames.
inline TestGraphics testGraphics() {
    TestGraphics g;
    g.terrain = {{"99999999", "aaaaaaaa"},
                 {"b.b.b.b."},
                 {std::string("c").append(78, '.').append("c"), std::string(80, 'd')},
                 {"11111111", "22222222", "........", "44444444", "55555555", "66666666"},
                 {"0000000."}};
    g.objects = {{{"dddddddd", "eeeeeeee"}, 2}, {{"11111111"}, 1}, {{"2..2..2."}, 3}};
    return g;
}

inline unsigned colourOf(char c) {
    return static_cast<unsigned>(std::stoul(std::string(1, c), nullptr, 16));
}

// The DOS picture: four bit planes, then the mask.
inline std::vector<unsigned char> planar(const TextPicture& picture) {
    std::size_t width = picture[0].size(), plane = width * picture.size() / 8;
    std::vector<unsigned char> bytes(5 * plane);
    for (std::size_t p = 0; p < width * picture.size(); ++p) {
        char c = picture[p / width][p % width];
        if (c == '.')
            continue;
        auto bit = static_cast<unsigned char>(0x80 >> p % 8);
        for (unsigned k = 0; k < 4; ++k)
            if (colourOf(c) >> k & 1)
                bytes[k * plane + p / 8] |= bit;
        bytes[4 * plane + p / 8] |= bit;
    }
    return bytes;
}

// An object's frames, the still one last.
inline std::vector<TextPicture> framesOf(const TestObject& object) {
    TextPicture other = object.still;
    for (std::string& row : other)
        for (char& c : row)
            c = c == '.' ? '.' : '5';
    std::vector<TextPicture> frames(object.frames - 1, other);
    frames.push_back(object.still);
    return frames;
}

inline void putWord(std::vector<unsigned char>& bytes, std::size_t at, std::size_t value) {
    bytes[at] = static_cast<unsigned char>(value);
    bytes[at + 1] = static_cast<unsigned char>(value >> 8);
}

// The ground file, and the two sections of VGAGRn.DAT it describes.
struct DosFiles {
    std::vector<unsigned char> ground = std::vector<unsigned char>(1056);
    std::vector<unsigned char> terrain, objects;
};

inline DosFiles dosFiles(const TestGraphics& graphics) {
    DosFiles files;
    for (std::size_t k = 0; k < graphics.objects.size(); ++k) {
        const TextPicture& still = graphics.objects[k].still;
        std::size_t at = k * 28, plane = still[0].size() * still.size() / 8;
        files.ground[at + 3] = static_cast<unsigned char>(graphics.objects[k].frames);
        files.ground[at + 4] = static_cast<unsigned char>(still[0].size());
        files.ground[at + 5] = static_cast<unsigned char>(still.size());
        putWord(files.ground, at + 6, 5 * plane);
        putWord(files.ground, at + 8, 4 * plane);
        putWord(files.ground, at + 21, files.objects.size());
        for (const TextPicture& frame : framesOf(graphics.objects[k])) {
            putWord(files.ground, at + 23, files.objects.size());
            auto bytes = planar(frame);
            files.objects.insert(files.objects.end(), bytes.begin(), bytes.end());
        }
    }
    for (std::size_t i = 0; i < graphics.terrain.size(); ++i) {
        const TextPicture& piece = graphics.terrain[i];
        std::size_t at = 448 + 8 * i, plane = piece[0].size() * piece.size() / 8;
        files.ground[at] = static_cast<unsigned char>(piece[0].size());
        files.ground[at + 1] = static_cast<unsigned char>(piece.size());
        putWord(files.ground, at + 2, files.terrain.size());
        putWord(files.ground, at + 4, files.terrain.size() + 4 * plane);
        auto bytes = planar(piece);
        files.terrain.insert(files.terrain.end(), bytes.begin(), bytes.end());
    }
    std::copy(graphics.colours.begin(), graphics.colours.end(), files.ground.begin() + 984);
    return files;
}

// GROUNDnO.DAT and VGAGRn.DAT of set `n` in `folder`.
inline void writeDosGraphics(const std::filesystem::path& folder, unsigned n,
                             const TestGraphics& graphics) {
    DosFiles files = dosFiles(graphics);
    writeBytes((folder / ("GROUND" + std::to_string(n) + "O.DAT")).string(), files.ground);
    writeBytes((folder / ("VGAGR" + std::to_string(n) + ".DAT")).string(),
               makePack({files.terrain, files.objects}));
}

// A sprite frame of the picture at twice its size, every row drawn. Colour 0 and the odd
// colours are written 16 higher, as a palette of 16 colours wraps them back.
inline void appendFrame(std::vector<unsigned char>& spr, const TextPicture& small) {
    TextPicture picture;
    for (const std::string& row : small) {
        std::string wide;
        for (char c : row)
            wide.append(2, c);
        picture.insert(picture.end(), 2, wide);
    }
    std::size_t width = picture[0].size(), header = spr.size();
    spr.resize(header + 12);
    for (std::size_t i = 0; std::size_t word : {std::size_t{0}, std::size_t{0}, std::size_t{127},
                                                picture.size(), width, picture.size()})
        putWord(spr, header + 2 * i++, word);
    for (const std::string& row : picture) {
        std::size_t column = 0;
        for (std::size_t x = 0; x < width;) {
            if (row[x] == '.') {
                ++x;
                continue;
            }
            std::size_t skip = x - column;
            spr.insert(spr.end(), skip / 127, 0x7F);
            if (skip % 127)
                spr.push_back(static_cast<unsigned char>(skip % 127));
            std::size_t end = std::min(row.find('.', x), std::min(width, x + 127));
            spr.push_back(static_cast<unsigned char>(0x80 + end - x));
            for (; x < end; ++x) {
                unsigned index = colourOf(row[x]);
                spr.push_back(
                    static_cast<unsigned char>(index == 0 || index % 2 ? index + 16 : index));
            }
            column = x;
        }
        spr.push_back(0x80);
    }
}

inline std::vector<unsigned char> sprite(const std::vector<TextPicture>& frames) {
    std::vector<unsigned char> spr = {'S', 'R', 'L', 'E', 0, 0, 8, 0};
    putWord(spr, 4, frames.size());
    for (const TextPicture& frame : frames)
        appendFrame(spr, frame);
    return spr;
}

// The DOS picture's 16 colours as a Windows palette: seven fixed ones, the set's first again,
// then the set's eight.
inline std::vector<unsigned char> windowsPalette(const TestGraphics& graphics) {
    std::vector<unsigned char> vga = {0x00, 0x00, 0x00, 0x10, 0x10, 0x38, 0x00,
                                      0x2C, 0x00, 0x3C, 0x34, 0x34, 0x2C, 0x2C,
                                      0x00, 0x3C, 0x08, 0x08, 0x20, 0x20, 0x20};
    vga.insert(vga.end(), graphics.colours.begin(), graphics.colours.begin() + 3);
    vga.insert(vga.end(), graphics.colours.begin(), graphics.colours.end());
    std::vector<unsigned char> pal = {' ', 'L', 'A', 'P', 16, 0};
    for (std::size_t i = 0; i < vga.size(); i += 3) {
        for (std::size_t c = i; c < i + 3; ++c)
            pal.push_back(static_cast<unsigned char>(vga[c] * 255 / 63));
        pal.push_back(0);
    }
    return pal;
}

// styles/ground<n>o.dat (the DOS ground file as it is), level<n>b.spr, level<n>ob.spr and
// level<n>.pal of set `n` (0-4) in `folder`, the pictures twice the DOS size.
inline void writeWindowsGraphics(const std::filesystem::path& folder, unsigned n,
                                 const TestGraphics& graphics) {
    std::filesystem::path styles = folder / "styles";
    std::filesystem::create_directories(styles);
    std::string stem = "level" + std::to_string(n);
    std::vector<TextPicture> objectFrames;
    for (const TestObject& object : graphics.objects)
        for (const TextPicture& frame : framesOf(object))
            objectFrames.push_back(frame);
    writeBytes((styles / ("ground" + std::to_string(n) + "o.dat")).string(),
               dosFiles(graphics).ground);
    writeBytes((styles / (stem + "b.spr")).string(), sprite(graphics.terrain));
    writeBytes((styles / (stem + "ob.spr")).string(), sprite(objectFrames));
    writeBytes((styles / (stem + ".pal")).string(), windowsPalette(graphics));
}

// A Windows level file whose records are added one by one; positions as the level's pixels
// (terrain) or as the file holds them (objects).
struct TestLevel {
    std::vector<unsigned char> bytes = std::vector<unsigned char>(levelfile::kLevelFileSize);
    std::size_t terrainRecords = 0;

    explicit TestLevel(unsigned set) {
        std::fill(bytes.begin() + 0x120, bytes.begin() + 0x760, 0xFF);
        std::fill(bytes.begin() + levelfile::kTitleOffset, bytes.end(), ' ');
        bytes[levelfile::kGraphicsSetOffset + 1] = static_cast<unsigned char>(set);
    }
    // flags: 4 no overwrite, 2 upside down, 1 erase.
    TestLevel& terrain(int x, int y, unsigned piece, unsigned flags = 0) {
        auto rawX = static_cast<unsigned>(x + 16), rawY = static_cast<unsigned>((y + 4) & 511);
        std::size_t at = 0x120 + 4 * terrainRecords++;
        bytes[at] = static_cast<unsigned char>(flags << 5 | rawX >> 8);
        bytes[at + 1] = static_cast<unsigned char>(rawX);
        bytes[at + 2] = static_cast<unsigned char>(rawY >> 1);
        bytes[at + 3] = static_cast<unsigned char>((rawY & 1) << 7 | piece);
        return *this;
    }
    TestLevel& special(unsigned char graphics) {
        bytes[levelfile::kSpecialGraphicsOffset + 1] = graphics;
        return *this;
    }
    // flags: 0x80 no overwrite, 0x40 only over terrain.
    TestLevel& object(std::size_t record, int x, int y, unsigned number, unsigned flags = 0,
                      bool upsideDown = false) {
        std::size_t at = 0x20 + 8 * record;
        for (auto [offset, word] : {std::pair{0, x}, std::pair{2, y}}) {
            bytes[at + offset] = static_cast<unsigned char>(static_cast<std::uint16_t>(word) >> 8);
            bytes[at + offset + 1] = static_cast<unsigned char>(word);
        }
        bytes[at + 5] = static_cast<unsigned char>(number);
        bytes[at + 6] = static_cast<unsigned char>(flags);
        bytes[at + 7] = upsideDown ? 0x8F : 0x0F;
        return *this;
    }
};

} // namespace quillfen::testing
