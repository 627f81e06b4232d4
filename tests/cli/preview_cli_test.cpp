// preview: PNG pictures of a level and of a pack's levels, and the refusals that write nothing.
#include "cli/run_cli.h"
#include "preview/game_graphics.h"
#include "preview/level_render.h"
#include "preview/make_graphics.h"

#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>

namespace quillfen::testing {
namespace {

namespace fs = std::filesystem;

// The picture a PNG file holds.
preview::Image readPng(const std::string& path) {
    std::vector<unsigned char> png = readBytes(path);
    int width = 0, height = 0, channels = 0;
    unsigned char* rgba = stbi_load_from_memory(png.data(), static_cast<int>(png.size()), &width,
                                                &height, &channels, 4);
    preview::Image image(width, height);
    if (rgba)
        std::memcpy(image.pixels.data(), rgba, image.pixels.size() * 4);
    stbi_image_free(rgba);
    return image;
}

class PreviewCliTest : public ::testing::Test {
protected:
    TempDir dir;
    fs::path game = dir.path() / "game", out = dir.path() / "out";
    std::vector<unsigned char> level = TestLevel(0).terrain(5, 7, 0).object(0, 40, 2, 1).bytes;

    void SetUp() override {
        // No player's own Wine prefix is searched.
        ::setenv("WINEPREFIX", dir.file("prefix").c_str(), 1);
        fs::create_directories(game / "levels");
        fs::create_directories(out);
        writeDosGraphics(game, 0, testGraphics());
        writeBytes((game / "levels/a.lvl").string(), level);
    }

    // The level drawn by the core, from the same graphics, shrunk to `width`.
    preview::Image expected(const std::vector<unsigned char>& bytes, int width) {
        preview::GameGraphics graphics;
        auto set = graphics.find(0, {.chosen = {game.string()}});
        return preview::thumbnail(preview::renderLevel(preview::readLayout(bytes), **set).image,
                                  width);
    }
};

TEST_F(PreviewCliTest, ALevelGivesOnePngAndAPackOneALevel) {
    // Beside the working folder, named after the level, at the graphics' own size.
    CliRun run = runCli({"preview", (game / "levels/a.lvl").string()}, {"env", "-C", out.string()});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "a.png\n");
    EXPECT_EQ(readPng((out / "a.png").string()).pixels, expected(level, 1584).pixels);

    std::vector<unsigned char> special = TestLevel(0).terrain(5, 7, 0).special(1).bytes;
    writeBytes((game / "LEVEL000.DAT").string(), makePack({level, special}));
    run = runCli(
        {"preview", (game / "LEVEL000.DAT").string(), "--scale", "4", "--out", out.string()});
    ASSERT_EQ(run.status, 0) << run.err;
    std::string first = (out / "LEVEL000_00.png").string(),
                second = (out / "LEVEL000_01.png").string();
    EXPECT_EQ(run.out, first + "\n" + second + "\n");
    EXPECT_EQ(run.err, "WARNING: " + second +
                           ": the picture shows the level's objects only: its terrain is one big "
                           "picture (special graphics 1), which is not drawn\n");
    EXPECT_EQ(readPng(first).pixels, expected(level, 396).pixels);
    EXPECT_EQ(readPng(second).pixels, expected(special, 396).pixels);

    run = runCli({"preview", "--width=640", (game / "levels/a.lvl").string(), "--out",
                  (out / "small.png").string()});
    EXPECT_EQ(readPng((out / "small.png").string()).pixels, expected(level, 640).pixels);
}

TEST_F(PreviewCliTest, ARefusalIsOneErrorLineAndWritesNothing) {
    writeBytes(dir.file("junk.lvl"), std::vector<unsigned char>(100));
    fs::create_directories(dir.path() / "nowhere");
    writeBytes(dir.file("nowhere/a.lvl"), level);
    // The sequel's packs use its sets, 5 to 8, which no folder holds.
    writeBytes(dir.file("nowhere/DLVEL000.DAT"), makePack({level}));
    fs::create_directories(dir.path() / "broken");
    std::vector<unsigned char> ground = readBytes((game / "GROUND0O.DAT").string());
    ground.pop_back();
    writeBytes(dir.file("broken/GROUND0O.DAT"), ground);
    fs::copy(game / "VGAGR0.DAT", dir.path() / "broken/VGAGR0.DAT");
    writeBytes(dir.file("broken/a.lvl"), level);
    fs::create_directories(dir.path() / "fifo");
    ASSERT_EQ(::mkfifo(dir.file("fifo/GROUND0O.DAT").c_str(), 0644), 0);
    fs::copy(game / "VGAGR0.DAT", dir.path() / "fifo/VGAGR0.DAT");
    writeBytes(dir.file("fifo/a.lvl"), level);
    using Case = std::pair<std::string, std::string>; // the file, the message's beginning
    for (const auto& [file, error] : std::vector<Case>{
             {dir.file("junk.lvl"), "ERROR: junk.lvl is neither a Windows Lemmings level file nor "
                                    "a DOS level pack: the file is 100 bytes long, not 2048; "},
             {dir.file("nowhere/DLVEL000.DAT"), "ERROR: found no graphics for graphics set 5 "},
             {dir.file("nowhere/a.lvl"),
              "ERROR: found no graphics for graphics set 0 (styles/ground0o.dat, or the DOS "
              "game's GROUND0O.DAT and VGAGR0.DAT) in " +
                  dir.file("nowhere") + ", " + dir.path().string()},
             {dir.file("broken/a.lvl"), "ERROR: the graphics file " +
                                            dir.file("broken/GROUND0O.DAT") +
                                            " is damaged: it is 1055 bytes long, not 1056"},
             {dir.file("fifo/a.lvl"), "ERROR: " + dir.file("fifo/GROUND0O.DAT") + " is not a file"},
         }) {
        CliRun run = runCli({"preview", file, "--out", out.string()});
        EXPECT_EQ(run.status, 1) << file;
        EXPECT_EQ(run.err.substr(0, error.size()), error);
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_TRUE(fs::is_empty(out)) << file;
    }
    for (const char* wrong : {"--scale=0", "--width=x"})
        EXPECT_EQ(runCli({"preview", dir.file("broken/a.lvl"), wrong}).status, 2) << wrong;

    // The picture never takes the place of the level it is drawn from, by any of its names.
    const std::string a = (game / "levels/a.lvl").string(), png = (game / "levels/a.png").string();
    fs::create_hard_link(a, dir.file("also.lvl"));
    fs::copy(a, png);
    for (const auto& [args, where] : std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{"preview", a, "--out", a}, a},
             {{"preview", a, "--out", dir.file("also.lvl")}, dir.file("also.lvl")},
             {{"preview", png}, "a.png"}}) { // the default name, in the level's folder
        CliRun run = runCli(args, {"env", "-C", (game / "levels").string()});
        EXPECT_EQ(run.status, 1) << where;
        EXPECT_EQ(run.err, "ERROR: could not write " + where +
                               ": it is the file being drawn; nothing was written\n");
    }
    EXPECT_EQ(readBytes(a), level);
    EXPECT_EQ(readBytes(png), level);
}

} // namespace
} // namespace quillfen::testing
