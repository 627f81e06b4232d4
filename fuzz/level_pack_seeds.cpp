// Writes the level-pack seed inputs of fuzz/corpus/level_pack/ with the tests' own encoder:
//
//   build/level_pack_seeds fuzz/corpus/level_pack
//
// Each pack starts the fuzzer near one of the reader's paths: every code of the stream, several
// sections, a last byte of bit count 0, and the damages it must refuse.
#include "levelfile/make_pack.h"

#include <cstdio>
#include <fstream>
#include <string>

using namespace quillfen;

namespace {

void write(const std::string& folder, const char* name, const std::vector<unsigned char>& bytes) {
    std::ofstream out(folder + "/" + name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out)
        std::fprintf(stderr, "cannot write %s/%s\n", folder.c_str(), name);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: level_pack_seeds FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    auto level = [](unsigned seed) {
        return testing::packLevel(seed, 40 + seed, "Seed " + std::to_string(seed));
    };

    write(folder, "one-level", testing::makePack({level(1)}));
    write(folder, "two-levels", testing::makePack({level(2), level(3)}));
    write(folder, "four-levels", testing::makePack({level(4), level(5), level(6), level(7)}));
    write(folder, "empty-last-byte", testing::compressLevel(level(8)).section(true));

    std::vector<unsigned char> zeros(levelfile::kLevelFileSize, 0);
    write(folder, "all-zero-level", testing::makePack({zeros}));

    // A level of special graphics, and one of graphics set 3 (which a sequel pack renumbers).
    auto special = level(9);
    special[levelfile::kSpecialGraphicsOffset + 1] = 1;
    auto sequel = level(10);
    sequel[levelfile::kGraphicsSetOffset + 1] = 3;
    write(folder, "big-picture-and-sequel-set", testing::makePack({special, sequel}));

    auto damaged = testing::makePack({level(11)});
    damaged[1] ^= 0xFF; // the checksum
    write(folder, "bad-checksum", damaged);
    auto trailing = testing::makePack({level(12)});
    trailing.push_back(0);
    write(folder, "stray-byte", trailing);
    auto cut = testing::makePack({level(13)});
    cut.resize(cut.size() / 2);
    write(folder, "cut-short", cut);
    return 0;
}
