#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quillfen {

// Wine keeps every registry text and file name as UTF-16 and compares them without regard to
// case by lower-casing each code unit; these helpers do the same on the host's side.

// The lower-case form of a UTF-16 code unit above 127, as Wine's case table gives it.
char16_t foldCaseBeyondAscii(char16_t unit);

// The lower-case form of one UTF-16 code unit. ASCII is done here, as registry paths are
// almost all ASCII and a listing folds every unit of the key lines it compares.
inline char16_t foldCase(char16_t unit) {
    if (unit >= 0x80)
        return foldCaseBeyondAscii(unit);
    return unit >= 'A' && unit <= 'Z' ? static_cast<char16_t>(unit + ('a' - 'A')) : unit;
}
std::u16string foldCase(std::u16string_view text);

// Whether two texts are equal without regard to case.
bool equalWithoutCase(std::u16string_view a, std::u16string_view b);

std::u16string utf8ToUtf16(std::string_view utf8);

// Appends a code point as one or two UTF-16 code units.
void appendUtf16(std::u16string& out, char32_t codePoint);

} // namespace quillfen
