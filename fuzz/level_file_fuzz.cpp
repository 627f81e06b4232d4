// Any bytes as a level file, and any texts in the nine count boxes: the title and counts read
// are the file's bytes, and Save Level Info changes only the count bytes of a Windows level
// file, or nothing.
#include "fuzz_support.h"
#include "levelfile/level_file.h"

#include <algorithm>
#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>
#include <iterator>

using namespace quillfen;
using namespace quillfen::levelfile;

namespace {

std::string readBack(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    // Each box holds either a count as the user types it or any text.
    std::array<std::string, kCountsCount> boxes;
    std::array<std::optional<unsigned char>, kCountsCount> typed;
    for (std::size_t i = 0; i < kCountsCount; ++i) {
        if (input.ConsumeBool()) {
            typed[i] = input.ConsumeIntegral<unsigned char>();
            boxes[i] = std::to_string(*typed[i]);
        } else {
            boxes[i] = input.ConsumeRandomLengthString(8);
        }
    }
    const std::string bytes = input.ConsumeRemainingBytesAsString();
    const std::string path = fuzz::workFolder() + "/LEVEL.LVL";
    fuzz::writeFile(path, bytes);

    // Only the Windows game's layout is a level: 2048 bytes, the first of them 0.
    const bool isLevel = bytes.size() == kLevelFileSize && bytes[0] == 0;
    auto title = readTitle(path);
    fuzz::require(title.ok() == isLevel, "a title is read from a Windows level file alone");
    if (title) {
        std::string field = bytes.substr(kTitleOffset, kTitleWidth);
        fuzz::require(*title == field.substr(0, field.find('\0')), "the title is its field's");
    }

    auto counts = readCounts(path);
    fuzz::require(counts.ok(), "a readable file has counts");
    for (std::size_t i = 0; i < kCountsCount; ++i) {
        std::size_t at = kCountOffsets[i];
        fuzz::require((*counts)[i] == (at < bytes.size()
                                           ? std::optional(static_cast<unsigned char>(bytes[at]))
                                           : std::nullopt),
                      "each count is its byte");
    }

    bool saved = SaveLevelInfo(path, boxes).ok();
    std::string after = readBack(path);
    fuzz::require(after.size() == bytes.size(), "the file keeps its length");
    bool allTyped = std::all_of(typed.begin(), typed.end(), [](auto t) { return t.has_value(); });
    if (allTyped && isLevel)
        fuzz::require(saved, "typed counts are saved into a level file");
    if (!isLevel)
        fuzz::require(!saved, "a file that is no level is never written");
    std::string changed = bytes;
    for (std::size_t i = 0; saved && i < kCountsCount; ++i) {
        changed[kCountOffsets[i]] = after[kCountOffsets[i]];
        if (typed[i])
            fuzz::require(static_cast<unsigned char>(after[kCountOffsets[i]]) == *typed[i],
                          "a typed count is written as typed");
    }
    fuzz::require(after == changed, "only the count bytes change");
    return 0;
}
