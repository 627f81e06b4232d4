// The check of the largest profile, 3,620 levels in one group's folder of a made-up install, its
// files warm in the page cache, against reading those files alone (the yardstick: no check can
// take less). Aim: under 100 ms.
#include "editing/profile_check.h"
#include "levelfile/make_level_file.h"
#include "temp_dir.h"

#include <benchmark/benchmark.h>
#include <filesystem>

namespace {

using namespace quillfen;

constexpr int kLevels = 3620; // with a group and 28 sets, the 3,649 nodes a profile holds
constexpr int kSets = 28;

struct LargestProfile {
    testing::TempDir dir;
    GameFolder game{dir.file("LEMM"), "C:\\LEMM", GameFolderSource::Given};
    LevelTree tree;
    std::vector<std::string> paths;

    LargestProfile() {
        std::filesystem::create_directories(dir.file("LEMM/LEVEL/CUST"));
        std::filesystem::create_directories(dir.file("LEMM/STYLES"));
        testing::writeBytes(dir.file("LEMM/STYLES/ground0o.dat"), std::vector<unsigned char>(1056));
        auto* group =
            tree.add(nullptr, LevelTree::Relationship::Last, NodeKind::Group, 1, "G", "CUST");
        const LevelTree::Node* set = nullptr;
        std::uint32_t sets = 0;
        for (int l = 1; l <= kLevels; ++l) {
            if ((l - 1) % (kLevels / kSets + 1) == 0)
                set = tree.add(group, LevelTree::Relationship::Child, NodeKind::Set, ++sets, "S");
            std::string name = "level" + std::to_string(l) + ".lvl";
            auto bytes = testing::makeLevelFile({50, 1, 1, 1, 1, 1, 1, 1, 1}, name);
            paths.push_back(dir.file("LEMM/LEVEL/CUST/" + name));
            testing::writeBytes(paths.back(), bytes);
            tree.add(set, LevelTree::Relationship::Child, NodeKind::Level,
                     static_cast<std::uint32_t>(l), name, name);
        }
    }
};

LargestProfile& profile() {
    static LargestProfile made;
    return made;
}

void BM_CheckLargestProfile(benchmark::State& state) {
    LargestProfile& p = profile();
    for (auto _ : state) {
        auto problems = checkProfile(p.tree, p.game);
        if (!problems.empty())
            state.SkipWithError(problems[0].problem.c_str());
        benchmark::DoNotOptimize(problems);
    }
}
BENCHMARK(BM_CheckLargestProfile)->Unit(benchmark::kMillisecond);

void BM_ReadLargestProfilesFiles(benchmark::State& state) {
    LargestProfile& p = profile();
    for (auto _ : state)
        for (const std::string& path : p.paths)
            benchmark::DoNotOptimize(readLevelFileBytes(path));
}
BENCHMARK(BM_ReadLargestProfilesFiles)->Unit(benchmark::kMillisecond);

} // namespace
