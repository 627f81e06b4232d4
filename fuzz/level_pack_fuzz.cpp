// Any bytes as a DOS level pack: refused, or unpacked into whole 2048-byte levels, each read as
// the window reads a level file, never past its bytes.
#include "fuzz_support.h"
#include "levelfile/level_file.h"
#include "levelfile/level_pack.h"

#include <cstdint>

using namespace quillfen;
using fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto levels = levelfile::unpackLevelPack({data, size});
    if (!levels) {
        require(!levels.error().empty(), "a refusal says why");
        return 0;
    }
    require(!levels->empty(), "a pack holds at least one level");
    for (const auto& level : *levels) {
        require(level.size() == levelfile::kLevelFileSize, "a level is 2048 bytes");
        // A level whose first byte is not 0 is refused as a level file, as any other engine's.
        auto read = levelfile::readLevelBytes(level);
        require(read.ok() == (level[0] == 0), "a level reads as one when its first byte is 0");
        if (read)
            require(read->title.size() <= levelfile::kTitleWidth, "a title stays in its field");
    }
    return 0;
}
