#include "profiles/wine_text.h"

#include "common/windows1252.h"
#include "host/file_io.h"

#include <algorithm>

namespace quillfen {
char16_t foldCaseBeyondAscii(char16_t unit) {
    // Half of a surrogate pair is not a character; Wine leaves it as it is.
    if (unit >= 0xD800 && unit <= 0xDFFF)
        return unit;
    return hostLowerCase(unit);
}

std::u16string foldCase(std::u16string_view text) {
    std::u16string out(text);
    for (char16_t& unit : out)
        unit = foldCase(unit);
    return out;
}

bool equalWithoutCase(std::u16string_view a, std::u16string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](char16_t x, char16_t y) { return foldCase(x) == foldCase(y); });
}

void appendUtf16(std::u16string& out, char32_t codePoint) {
    if (codePoint > 0xFFFF) {
        codePoint -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (codePoint >> 10));
        out += static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF));
    } else {
        out += static_cast<char16_t>(codePoint);
    }
}

std::u16string utf8ToUtf16(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();)
        appendUtf16(out, decodeUtf8(utf8, pos).value_or(0xFFFD));
    return out;
}

} // namespace quillfen
