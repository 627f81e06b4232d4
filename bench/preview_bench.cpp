// Drawing a level from decoded graphics, against copying its picture once; thumbnails of a
// folder of levels with the graphics found and decoded once.
#include "editor/preview_service.h"
#include "preview/game_graphics.h"
#include "preview/level_preview.h"
#include "preview/make_graphics.h"

#include <benchmark/benchmark.h>
#include <condition_variable>
#include <memory>
#include <mutex>

namespace {

using namespace quillfen;
using testing::TextPicture;

constexpr int kLargestPiece = 64;

// A square picture of `side` pixels in colours 9-15 with a hole in its middle.
TextPicture piece(int side, int seed) {
    TextPicture rows;
    for (int y = 0; y < side; ++y) {
        std::string row;
        for (int x = 0; x < side; ++x) {
            bool hole = std::abs(x - side / 2) < side / 6 && std::abs(y - side / 2) < side / 6;
            row += hole ? '.' : "9abcdef"[(x / 4 + y / 4 + seed) % 7];
        }
        rows.push_back(row);
    }
    return rows;
}

// A synthetic set of 64 pieces from 8 to 64 pixels and 16 objects, as DOS files in a folder,
// and as the Windows game's files (twice the size) in another.
struct SyntheticGame {
    testing::TempDir dir, windowsDir;
    preview::GraphicsSet set;

    SyntheticGame() {
        testing::TestGraphics graphics;
        for (int i = 0; i < 64; ++i)
            graphics.terrain.push_back(piece(kLargestPiece / 8 * (1 + i % 8), i));
        for (int i = 0; i < 16; ++i)
            graphics.objects.push_back(
                {piece(16 + 8 * (i % 3), i), 1 + static_cast<unsigned>(i) % 4});
        testing::writeDosGraphics(dir.path(), 0, graphics);
        testing::writeWindowsGraphics(windowsDir.path(), 0, graphics);
        set = std::move(*preview::loadGraphicsSet(
            {.ground = dir.file("GROUND0O.DAT"), .pictures = dir.file("VGAGR0.DAT")}));
    }
};

// A level of `pieces` terrain records spread over the level, one in eight of them with each of
// the flags, and 32 objects, those after the 16th entrances. Pieces 7, 15, ... are the largest.
std::vector<unsigned char> level(int pieces, bool largestOnly, unsigned seed) {
    testing::TestLevel level(0);
    unsigned state = seed;
    auto next = [&] { return (state = state * 1103515245u + 12345u) >> 16; };
    for (int i = 0; i < pieces; ++i) {
        unsigned kind = next() % 64;
        unsigned flags = i % 8 == 0 ? 4 : i % 8 == 1 ? 1 : i % 8 == 2 ? 2 : 0;
        level.terrain(static_cast<int>(next() % 1600) - 32, static_cast<int>(next() % 190) - 30,
                      largestOnly ? (kind | 7) : kind, flags);
    }
    for (std::size_t i = 0; i < 32; ++i)
        level.object(i, static_cast<int>(next() % 1600), static_cast<int>(next() % 160) - 8,
                     i < 16 ? next() % 16 : 1, (next() % 3) << 6, i % 5 == 0);
    return level.bytes;
}

void BM_RenderLevel(benchmark::State& state) {
    static SyntheticGame game;
    preview::LevelLayout layout = preview::readLayout(level(400, true, 1));
    for (auto _ : state)
        benchmark::DoNotOptimize(preview::renderLevel(layout, game.set).image.pixels.data());
    state.SetLabel("400 pieces of 64 x 64 and 32 objects, 1584 x 160");
}
BENCHMARK(BM_RenderLevel);

// Yardstick: one copy of a level's picture.
void BM_CanvasCopy(benchmark::State& state) {
    preview::Image picture(preview::kLevelWidth, preview::kLevelHeight, preview::kBlack);
    for (auto _ : state) {
        preview::Image copy = picture;
        benchmark::DoNotOptimize(copy.pixels.data());
    }
}
BENCHMARK(BM_CanvasCopy);

// What a window does to list a folder of levels with their pictures: 1,000 level files read,
// their graphics found (decoded before, as for all but the first folder a user opens), drawn
// and shrunk to 640 pixels wide.
void BM_ThumbnailFolder(benchmark::State& state) {
    static SyntheticGame game;
    testing::TempDir levels;
    std::vector<std::string> files;
    for (unsigned i = 0; i < 1000; ++i) {
        files.push_back(levels.file("level" + std::to_string(i) + ".lvl"));
        testing::writeBytes(files.back(), level(200, false, i));
    }
    preview::GameGraphics graphics;
    preview::GraphicsPlaces places{.chosen = {game.dir.path().string()}};
    (void)graphics.find(0, places);
    for (auto _ : state) {
        for (const std::string& file : files) {
            auto previews = preview::previewFile(file, graphics, places);
            if (!previews)
                state.SkipWithError(previews.error().c_str());
            for (const preview::LevelPreview& preview : *previews)
                benchmark::DoNotOptimize(
                    preview::thumbnail(preview.draw().image, 640).pixels.data());
        }
    }
    state.SetLabel("1,000 levels of 200 pieces and 32 objects");
}
BENCHMARK(BM_ThumbnailFolder)->Unit(benchmark::kMillisecond);

// A click in a window, to its picture on the window's thread: the service's worker reads the
// level, finds and decodes its set (cold: the first time the program uses it; warm: decoded
// before), draws it and shrinks it to a panel's 540 pixels, then wakes the waiting thread. From
// the DOS files, and from the Windows game's, whose pictures are four times as large.
void BM_ClickToPicture(benchmark::State& state) {
    static SyntheticGame game;
    testing::TempDir levels;
    const std::string file = levels.file("level.lvl");
    testing::writeBytes(file, level(400, true, 1));
    const bool cold = state.range(0) == 0, windows = state.range(1) == 1;
    const preview::GraphicsPlaces places{
        .chosen = {(windows ? game.windowsDir : game.dir).path().string()}};

    std::mutex mutex;
    std::condition_variable woken;
    bool ready = false;
    auto wake = [&] {
        std::lock_guard lock(mutex);
        ready = true;
        woken.notify_one();
    };
    auto click = [&](PreviewService& service) {
        service.show(file, places, 540);
        std::unique_lock lock(mutex);
        woken.wait(lock, [&] { return ready; });
        ready = false;
        lock.unlock();
        auto shown = service.take();
        if (!shown || shown->thumbnail.empty())
            state.SkipWithError("no picture");
    };
    auto service = std::make_unique<PreviewService>(wake);
    click(*service);
    for (auto _ : state) {
        if (cold) {
            state.PauseTiming();
            service = std::make_unique<PreviewService>(wake);
            state.ResumeTiming();
        }
        click(*service);
    }
    state.SetLabel(std::string(cold ? "a set decoded first" : "the set decoded before") +
                   (windows ? ", Windows files" : ", DOS files"));
}
BENCHMARK(BM_ClickToPicture)
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
