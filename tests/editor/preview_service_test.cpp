// The previews a window shows beside the tree: drawn by the service's worker from the game's
// graphics where the Editor says to look, with the level's facts, or the facts and a line that
// says where to point the tool.
#include "editor/preview_service.h"
#include "preview/level_layout.h"
#include "preview/level_render.h"
#include "preview/make_graphics.h"

#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace quillfen {
namespace {

using namespace std::chrono_literals;

LevelPreviewShown waitFor(PreviewService& service) {
    for (int i = 0; i < 10000; ++i) {
        if (auto shown = service.take())
            return std::move(*shown);
        std::this_thread::sleep_for(1ms);
    }
    ADD_FAILURE() << "no preview came";
    return {};
}

TEST(PreviewService, ShowsTheFactsAndThePictureOfTheNewestLevelAskedFor) {
    testing::TempDir dir;
    std::filesystem::create_directories(dir.path() / "game" / "levels");
    std::filesystem::create_directories(dir.path() / "graphics");
    testing::writeDosGraphics(dir.path() / "graphics", 3, testing::testGraphics());
    testing::TestLevel level(3);
    level.terrain(100, 50, 2).object(0, 200, 30, 1);
    level.bytes[1] = 50; // release rate
    level.bytes[3] = 80; // lemmings
    level.bytes[5] = 40; // to rescue
    level.bytes[7] = 5;  // minutes
    const std::string title = "  Pillar Hop";
    std::copy(title.begin(), title.end(), level.bytes.begin() + levelfile::kTitleOffset);
    const std::string path = dir.file("game/levels/hop.lvl");
    testing::writeBytes(path, level.bytes);
    const std::vector<std::string> facts = {"Pillar Hop",
                                            "80 lemmings, 40 to rescue, release rate 50, 5 minutes",
                                            "graphics set 3 (pillar)"};

    PreviewService service([] {});
    service.show(path, {}, 396);
    LevelPreviewShown shown = waitFor(service);
    EXPECT_EQ(shown.facts, facts);
    EXPECT_TRUE(shown.picture.empty());
    EXPECT_EQ(shown.note, "no graphics found for graphics set 3 (pillar): choose the game's "
                          "folder with Options > Game folder...");
    EXPECT_TRUE(shown.reason.starts_with(preview::kNoGraphicsFound)) << shown.reason;

    // A request not yet begun gives way to the newer one, whose preview alone is shown.
    const std::string other = dir.file("game/levels/other.lvl");
    testing::writeBytes(other, testing::TestLevel(7).bytes);
    preview::GraphicsPlaces places{.chosen = {dir.file("graphics")}};
    service.show(other, places, 396);
    service.show(path, places, 396);
    shown = waitFor(service);
    EXPECT_EQ(shown.file, path);
    EXPECT_EQ(shown.facts, facts);
    EXPECT_EQ(shown.note, "");
    auto set = preview::loadGraphicsSet(
        {.ground = dir.file("graphics/GROUND3O.DAT"), .pictures = dir.file("graphics/VGAGR3.DAT")});
    ASSERT_TRUE(set.ok()) << set.error();
    EXPECT_EQ(shown.picture.pixels,
              preview::renderLevel(preview::readLayout(level.bytes), *set).image.pixels);
    EXPECT_EQ(shown.thumbnail.width, 396);
    EXPECT_EQ(shown.thumbnail.height, 40);

    // What is no Windows level file says so.
    testing::writeBytes(other, std::vector<unsigned char>{1, 2, 3});
    service.show(other, places, 396);
    shown = waitFor(service);
    EXPECT_TRUE(shown.facts.empty());
    EXPECT_EQ(shown.note, "ERROR: other.lvl is not a Windows Lemmings level file: the file is 3 "
                          "bytes long, not 2048");
}

} // namespace
} // namespace quillfen
