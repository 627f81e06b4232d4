#include "preview/game_graphics.h"
#include "preview/level_layout.h"
#include "preview/level_render.h"
#include "preview/make_graphics.h"
#include "preview/windows_graphics.h"

#include <gtest/gtest.h>

namespace quillfen::preview {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;
using testing::TestGraphics;
using testing::TestLevel;
using Bytes = std::vector<unsigned char>;

// A row of the picture as the hex digits of its colours in the test palette ('?' for others).
std::string rowText(const Image& image, int y, int x, int count) {
    Bytes pal = testing::windowsPalette(testing::testGraphics());
    std::string text;
    for (int i = x; i < x + count; ++i) {
        Pixel pixel = image.at(i, y);
        char shown = '?';
        for (int c = 15; c >= 0; --c)
            if (rgba(pal[6 + 4 * c], pal[7 + 4 * c], pal[8 + 4 * c]) == pixel)
                shown = "0123456789abcdef"[c];
        text += shown;
    }
    return text;
}

struct GraphicsFolder {
    TempDir dir;
    GraphicsSet dos, windows;

    GraphicsFolder() {
        testing::writeDosGraphics(dir.path(), 0, testing::testGraphics());
        testing::writeWindowsGraphics(dir.path(), 0, testing::testGraphics());
        auto sets = graphicsIn(dir.path().string());
        auto loadedDos = loadGraphicsSet(
            {.ground = dir.file("GROUND0O.DAT"), .pictures = dir.file("VGAGR0.DAT")});
        auto loadedWindows = loadGraphicsSet(*sets[0]);
        EXPECT_TRUE(loadedDos.ok()) << loadedDos.error();
        EXPECT_TRUE(loadedWindows.ok()) << loadedWindows.error();
        dos = std::move(*loadedDos);
        windows = std::move(*loadedWindows);
    }
};

TEST(RenderLevel, DrawsTerrainAndObjectsAsTheGameDoes) {
    GraphicsFolder folder;
    struct Row {
        int y, x;
        std::string text;
    };
    struct Case {
        const char* what;
        TestLevel level;
        std::vector<Row> rows;
    };
    const std::vector<Case> cases = {
        {"a piece, and one upside down",
         TestLevel(0).terrain(0, 0, 0).terrain(8, 0, 0, 2),
         {{0, 0, "99999999aaaaaaaa0"}, {1, 0, "aaaaaaaa99999999"}}},
        {"no overwrite draws only where there is no terrain yet",
         TestLevel(0).terrain(0, 0, 0).terrain(4, 1, 1, 4),
         {{1, 0, "aaaaaaaab0b0"}}},
        {"erase clears terrain, and loses to no overwrite, which draws in its holes",
         TestLevel(0).terrain(0, 0, 0).terrain(0, 0, 1, 1).terrain(0, 0, 1, 5),
         {{0, 0, "b9b9b9b9"}}},
        {"pieces cut at the level's edges, rows 256 and above standing above the level",
         TestLevel(0)
             .terrain(-4, 5, 0)
             .terrain(1580, 158, 0)
             .terrain(0, -5, 3)
             .terrain(8, 150, 3, 2),
         {{0, 0, "666666660"},
          {5, 0, "99990"},
          {159, 1576, "0000aaaa"},
          {158, 1578, "0099"},
          {150, 8, "66666666"},
          {152, 8, "44444444"},
          {153, 8, "00000000"}}},
        {"solid black is terrain",
         TestLevel(0).terrain(0, 0, 4).terrain(1, 0, 1, 4),
         {{0, 0, "0000000b"}}},
        {"objects at x - 16 rounded down to 8, upside down, in two passes",
         TestLevel(0)
             .terrain(0, 20, 0)
             .object(0, 24, 20, 0)
             .object(1, 16, 20, 2, 0x40)
             .object(2, 31, 20, 2, 0x40)
             .object(3, 39, 20, 1, 0x80)
             .object(4, 43, 21, 1, 0x80)
             .object(5, 5, 20, 0)
             .object(6, 48, 30, 0, 0, true)
             .object(7, 16, 21, 1)
             .object(8, 16, 21, 2, 0x40)
             .object(9, 24, 20, 1, 0x80),
         {{20, 0, "29929929dddddddd11111111"},
          {21, 0, "11111111eeeeeeee"},
          {30, 32, "eeeeeeee"},
          {31, 32, "dddddddd"}}},
        {"only entrances count after the 16th object",
         TestLevel(0).object(16, 16, 0, 0).object(31, 24, 0, 1),
         {{0, 0, "0000000011111111"}}},
        {"special graphics: objects only",
         TestLevel(0).terrain(0, 0, 0).object(0, 16, 1, 1).special(1),
         {{0, 0, "00000000"}, {1, 0, "11111111"}}},
    };
    for (const Case& c : cases) {
        LevelPicture picture = renderLevel(readLayout(c.level.bytes), folder.dos);
        ASSERT_EQ(picture.image.pixels.size(), 1584u * 160) << c.what;
        for (const Row& row : c.rows)
            EXPECT_EQ(rowText(picture.image, row.y, row.x, static_cast<int>(row.text.size())),
                      row.text)
                << c.what << ", row " << row.y;
        EXPECT_EQ(picture.note.empty(), c.level.bytes[levelfile::kSpecialGraphicsOffset + 1] == 0)
            << c.what;
    }
}

TEST(RenderLevel, WindowsPicturesGiveTheDosPictureDoubled) {
    GraphicsFolder folder;
    TestLevel level(0);
    for (int i = 0; i < 5; ++i)
        level.terrain(i * 37 - 20, i * 31 - 9, static_cast<unsigned>(i), static_cast<unsigned>(i));
    level.terrain(1570, 100, 2).terrain(30, 30, 2, 2);
    for (int i = 0; i < 20; ++i)
        level.object(static_cast<std::size_t>(i), i * 45 - 8, i * 9 - 4,
                     static_cast<unsigned>(i % 3), (i % 4) << 6, i % 5 == 0);
    LevelPicture dos = renderLevel(readLayout(level.bytes), folder.dos);
    LevelPicture windows = renderLevel(readLayout(level.bytes), folder.windows);
    ASSERT_EQ(windows.image.width, 3168);
    ASSERT_EQ(windows.image.height, 320);
    int differences = 0;
    for (int y = 0; y < windows.image.height; ++y)
        for (int x = 0; x < windows.image.width; ++x)
            differences += !(windows.image.at(x, y) == dos.image.at(x / 2, y / 2));
    EXPECT_EQ(differences, 0);
}

TEST(SpriteFile, PacketsSkipAndDrawFromWhereTheLastEnded) {
    Bytes spr;
    for (const Bytes& part : std::vector<Bytes>{
             {'S', 'R', 'L', 'E', 1, 0, 8, 0},       // one frame, at byte 8
             {1, 0, 1, 0, 3, 0, 3, 0, 140, 0, 5, 0}, // at 1, 1; longest 3, 3 rows, 140 x 5
             {2, 0x82, 1, 3, 1, 0x81, 2, 0x80},      // skip 2, two pixels, skip 1, one
             {0x80},                                 // an empty row
             {0x7F, 5, 0x82, 6, 0, 0x80}})           // skip 132; 6 wraps to 2, 0 is none
        spr.insert(spr.end(), part.begin(), part.end());
    std::vector<Pixel> palette = {rgba(1, 1, 1), rgba(10, 0, 0), rgba(0, 20, 0), rgba(0, 0, 30)};
    auto frames = readSprite(spr);
    ASSERT_TRUE(frames.ok()) << frames.error();
    ASSERT_EQ(frames->size(), 1u);
    Image expected(140, 5);
    expected.at(3, 1) = palette[1];
    expected.at(4, 1) = palette[3];
    expected.at(6, 1) = palette[2];
    expected.at(133, 3) = palette[2];
    Image drawn = spritePicture(spr, (*frames)[0], palette);
    EXPECT_EQ(drawn.pixels, expected.pixels);
}

TEST(GraphicsFiles, DamagedOrCutFilesAreRefusedWithTheFileAndTheReason) {
    TestGraphics g = testing::testGraphics();
    auto dos = testing::dosFiles(g);
    std::string terrainSize = std::to_string(dos.terrain.size());
    struct Case {
        std::string file;
        std::function<void(Bytes&)> damage;
        std::string reason;
        std::string named = {}; // the file the message names, when not the damaged one
    };
    const std::vector<Case> cases = {
        {"GROUND0O.DAT", [](Bytes& b) { b.pop_back(); }, "it is 1055 bytes long, not 1056"},
        {"VGAGR0.DAT", [](Bytes& b) { b[0] = 9; },
         "section 00 (at byte 0): its bit count is 9, more than 8"},
        {"GROUND0O.DAT", [](Bytes& b) { b[448 + 2] = 0xF0; },
         "the picture of terrain piece 0: bytes 240 to 248 lie beyond section 0 (" + terrainSize +
             " bytes)",
         "VGAGR0.DAT"},
        {"styles/level0.pal", [](Bytes& b) { b[4] = 0; }, "it holds no colours"},
        {"styles/level0.pal", [](Bytes& b) { b.resize(40); },
         "its 16 colours need 70 bytes, and it has 40"},
        {"styles/level0b.spr", [](Bytes& b) { b[0] = 'X'; },
         "it does not begin with the sprite file's tag \"SRLE\" and its header"},
        {"styles/level0b.spr", [](Bytes& b) { b[16] = 15; },
         "frame 0, row 0 (at byte 20): its pixels reach column 16, beyond the frame's width 15"},
        {"styles/level0b.spr", [](Bytes& b) { b[19] = 2; },
         "frame 0 (at byte 8): it is 16 x 516, larger than any picture of the game"},
        {"styles/level0b.spr", [](Bytes& b) { b[14] = 5; },
         "frame 0 (at byte 8): its 5 rows from row 0 reach below its height 4"},
        {"styles/level0b.spr", [](Bytes& b) { b[20] = b[21] = 0x05; },
         "frame 0, row 0 (at byte 20): a second skip where a packet's length belongs"},
        {"styles/level0ob.spr", [](Bytes& b) { b[4] = 2; },
         "it holds 2 frames, and object 1 would be frame 2"},
        {"styles/ground0o.dat", [](Bytes& b) { b[6] = b[7] = 0; },
         "object 0 has frames of 0 bytes"},
    };
    for (const Case& c : cases) {
        GraphicsFolder folder;
        std::string path = folder.dir.file(c.file);
        Bytes bytes = testing::readBytes(path);
        c.damage(bytes);
        testing::writeBytes(path, bytes);
        bool windows = c.file.starts_with("styles");
        auto loaded =
            loadGraphicsSet(windows ? *graphicsIn(folder.dir.path().string())[0]
                                    : SetFiles{.ground = folder.dir.file("GROUND0O.DAT"),
                                               .pictures = folder.dir.file("VGAGR0.DAT")});
        ASSERT_FALSE(loaded.ok()) << c.reason;
        std::string named = folder.dir.file(c.named.empty() ? c.file : c.named);
        EXPECT_EQ(loaded.error(), "ERROR: the graphics file " + named + " is damaged: " + c.reason);
    }
    // A sprite file cut anywhere.
    GraphicsFolder folder;
    std::string path = folder.dir.file("styles/level0b.spr");
    Bytes whole = testing::readBytes(path);
    SetFiles files = *graphicsIn(folder.dir.path().string())[0];
    for (std::size_t size = 0; size < whole.size(); ++size) {
        testing::writeBytes(path, std::span(whole).first(size));
        EXPECT_FALSE(loadGraphicsSet(files).ok()) << size;
    }
}

TEST(Thumbnail, EachPixelIsTheMeanOfItsBox) {
    Image picture(5, 2, kBlack);
    for (int x = 0; x < 5; ++x)
        picture.at(x, 0) = picture.at(x, 1) = rgba(static_cast<std::uint8_t>(x * 50), 0, 9);
    // Two pixels wide, so 2 x 2 / 5 rounded high: boxes of columns 0-1 and 2-4 of both rows.
    Image small = thumbnail(picture, 2);
    EXPECT_EQ(small.width, 2);
    EXPECT_EQ(small.height, 1);
    EXPECT_EQ(small.pixels, (std::vector<Pixel>{rgba(25, 0, 9), rgba(150, 0, 9)}));
    EXPECT_EQ(thumbnail(picture, 5).pixels, picture.pixels);
}

TEST(GameGraphics, SearchesTheChosenFoldersThenAboveTheLevelThenThePrefix) {
    TempDir dir;
    const fs::path root = dir.path();
    TestGraphics g = testing::testGraphics();
    fs::create_directories(root / "dos");
    testing::writeDosGraphics(root / "dos", 2, g);
    fs::rename(root / "dos/VGAGR2.DAT", root / "dos/vgagr2.dat");
    fs::create_directories(root / "sequel");
    testing::writeDosGraphics(root / "sequel", 1, g);
    testing::writeBytes((root / "sequel/dlvel000.dat").string(), Bytes{});
    testing::writeWindowsGraphics(root / "win", 2, g);
    fs::rename(root / "win/styles", root / "win/Styles");
    fs::rename(root / "win/Styles/ground2o.dat", root / "win/Styles/GROUND2O.DAT");
    testing::writeWindowsGraphics(root / "prefix/drive_c/Program Files (x86)/Lemmings", 3, g);
    fs::create_directories(root / "win/a/b/c/d/e");

    // The level's folder and the four above it, as the message names them.
    std::string searched = root.string() + "/win/a/b/c/d/e";
    for (fs::path above = root / "win/a/b/c/d/e"; above != root / "win/a";)
        searched.append(", ").append((above = above.parent_path()).string());
    struct Case {
        unsigned set;
        GraphicsPlaces places;
        int scale;         // 2 from the Windows game's files, 1 from the DOS game's
        std::string error; // the message's beginning, when none are found
    };
    const std::vector<Case> cases = {
        {2, {.levelFile = (root / "win/level/orig/x.lvl").string()}, 2, ""},
        {2,
         {.chosen = {(root / "dos").string()}, .levelFile = (root / "win/x.lvl").string()},
         1,
         ""},
        {2, {.levelFile = (root / "win/a/b/c/d/x.lvl").string()}, 2, ""},
        {6, {.databaseFile = (root / "sequel/users/ALICE.DAT").string()}, 1, ""},
        {3, {.winePrefix = (root / "prefix").string()}, 2, ""},
        {2,
         {.levelFile = (root / "win/a/b/c/d/e/x.lvl").string()},
         0,
         "ERROR: found no graphics for graphics set 2 (styles/ground2o.dat, or the DOS game's "
         "GROUND2O.DAT and VGAGR2.DAT) in " +
             searched},
        {1,
         {.levelFile = (root / "sequel/x.lvl").string()},
         0,
         "ERROR: found no graphics for graphics set 1 "},
    };
    GameGraphics games;
    for (const Case& c : cases) {
        auto found = games.find(c.set, c.places);
        if (!found) {
            EXPECT_EQ(found.error().substr(0, c.error.size()), c.error);
            EXPECT_EQ(c.scale, 0) << found.error();
            continue;
        }
        EXPECT_EQ((*found)->scale, c.scale) << c.set;
        EXPECT_EQ(games.find(c.set, c.places).value(), *found) << "kept for the next level";
    }
    // Decoded once: the files are not read again.
    fs::remove_all(root / "dos");
    auto kept = games.find(2, {.chosen = {(root / "dos").string()}});
    EXPECT_TRUE(kept.ok());
}

} // namespace
} // namespace quillfen::preview
