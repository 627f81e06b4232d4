// Any bytes as a UserDatabase: what parses is written as a well-formed file that parses to the
// same tree and is written again byte for byte.
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
    fuzz::require(checkDatabaseFile(written).empty(), "a written file is well formed");
    auto again = ParseDatabaseFile(written);
    fuzz::require(again.ok(), "a written file parses");
    fuzz::require(again->tree.count() == parsed->tree.count(), "the parse keeps every node");
    fuzz::require(encodeDatabase(again->tree) == written, "a second save writes the same bytes");
    return 0;
}
