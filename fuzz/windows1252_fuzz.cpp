// The text codecs both ways: every byte string but one holding a zero survives UTF-8 and back,
// and UTF-8 that converts is exactly the UTF-8 of the bytes it gives.
#include "common/windows1252.h"
#include "fuzz_support.h"

#include <cstdint>

using namespace quillfen;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view in(reinterpret_cast<const char*>(data), size);
    bool zero = in.find('\0') != std::string_view::npos;

    auto back = utf8ToWindows1252(windows1252ToUtf8(in));
    fuzz::require(zero ? !back : back == in, "bytes survive the trip through UTF-8");

    if (auto bytes = utf8ToWindows1252(in)) {
        fuzz::require(bytes->find('\0') == std::string::npos, "no converted text holds a zero");
        fuzz::require(windows1252ToUtf8(*bytes) == in, "converted UTF-8 is the bytes' UTF-8");
    }

    for (std::size_t pos = 0; pos < in.size();) {
        std::size_t before = pos;
        auto cp = decodeUtf8(in, pos);
        fuzz::require(pos > before && pos <= in.size(), "decoding moves on within the text");
        fuzz::require(!cp || *cp < 0xD800 || (*cp > 0xDFFF && *cp <= 0x10FFFF),
                      "a decoded code point is a character");
    }

    std::u16string units(size / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i)
        units[i] = static_cast<char16_t>(data[2 * i] | data[2 * i + 1] << 8);
    fuzz::require(utf16ToWindows1252Lossy(units).size() <= units.size(),
                  "one byte at most for each UTF-16 unit");
    return 0;
}
