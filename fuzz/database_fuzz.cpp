// Any bytes as a UserDatabase: what parses is written as a well-formed file that parses to the
// same tree and is written again byte for byte.
#include "common/windows_names.h"
#include "database/database_check.h"
#include "database/database_reader.h"
#include "database/database_writer.h"
#include "fuzz_support.h"

#include <cstdint>

using namespace quillfen;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto parsed = ParseDatabaseFile({data, size});
    if (!parsed)
        return 0;
    auto written = encodeDatabase(parsed->tree);
    // A level file name that Windows cannot open is kept as it was loaded, and the check names it.
    std::size_t unopenable = 0;
    for (const LevelTree::Node* group : parsed->tree.topLevel())
        for (int s = 0; s < group->children(); ++s)
            for (int l = 0; l < group->child(s)->children(); ++l)
                unopenable +=
                    !windowsNameRefusal(parsed->tree.levelFiles(group->child(s)->child(l)->index()),
                                        "level file name")
                         .empty();
    fuzz::require(checkDatabaseFile(written).size() == unopenable,
                  "a written file is well formed but for the names Windows cannot open");
    auto again = ParseDatabaseFile(written);
    fuzz::require(again.ok(), "a written file parses");
    fuzz::require(again->tree.count() == parsed->tree.count(), "the parse keeps every node");
    fuzz::require(encodeDatabase(again->tree) == written, "a second save writes the same bytes");
    return 0;
}
