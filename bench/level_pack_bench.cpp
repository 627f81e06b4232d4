// Unpacking and checking a pack of 47 levels, the most a pack holds, against reading its bytes.
#include "host/file_write.h"
#include "levelfile/level_pack.h"
#include "levelfile/make_pack.h"

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace {

using namespace quillfen;

constexpr int kSections = 47;

const std::vector<unsigned char>& fullPack() {
    static const std::vector<unsigned char> pack = [] {
        std::vector<std::vector<unsigned char>> levels;
        for (int i = 0; i < kSections; ++i)
            levels.push_back(testing::packLevel(static_cast<unsigned>(i + 1), 50, "Level"));
        return testing::makePack(levels);
    }();
    return pack;
}

// The pack in a file, and an empty folder for its levels; removed by the caller.
struct PackOnDisk {
    std::filesystem::path folder = std::filesystem::temp_directory_path() / "quillfen-bench-pack";
    std::string pack = (folder / "LEVEL000.DAT").string();
    std::string levels = (folder / "levels").string();

    PackOnDisk() {
        std::filesystem::create_directories(levels);
        (void)writeFile(pack, fullPack(), {.sync = false});
    }
    ~PackOnDisk() { std::filesystem::remove_all(folder); }
};

// What the user waits for before the report: reading, unpacking and checking every level, and
// looking for each level file in the folder.
void BM_ImportPack(benchmark::State& state) {
    PackOnDisk disk;
    for (auto _ : state) {
        auto plan = levelfile::planImport(disk.pack, false, disk.levels);
        if (!plan || plan->levels.size() != kSections)
            state.SkipWithError("the pack did not import");
        benchmark::DoNotOptimize(plan.ok());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * fullPack().size()));
}
BENCHMARK(BM_ImportPack);

// The pure part alone: unpacking and checking bytes already in memory.
void BM_UnpackPack(benchmark::State& state) {
    const auto& pack = fullPack();
    for (auto _ : state) {
        auto levels = levelfile::unpackLevelPack(pack);
        for (const auto& level : *levels)
            benchmark::DoNotOptimize(levelfile::readLevelBytes(level).ok());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * pack.size()));
}
BENCHMARK(BM_UnpackPack);

// Yardstick: read the pack's bytes from its file in one call.
void BM_RawReadPack(benchmark::State& state) {
    PackOnDisk disk;
    std::vector<unsigned char> buffer(fullPack().size());
    for (auto _ : state) {
        int fd = ::open(disk.pack.c_str(), O_RDONLY);
        benchmark::DoNotOptimize(::read(fd, buffer.data(), buffer.size()));
        ::close(fd);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * buffer.size()));
}
BENCHMARK(BM_RawReadPack);

} // namespace
