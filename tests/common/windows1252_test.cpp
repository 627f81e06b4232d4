#include "common/windows1252.h"

#include <gtest/gtest.h>

namespace quillfen {
namespace {

TEST(Windows1252, EveryByteButZeroSurvivesTheTripThroughUtf8AsItsOwnCharacter) {
    std::string all;
    // Every byte but zero, which ends a text.
    for (int b = 1; b < 256; ++b)
        all += static_cast<char>(b);
    EXPECT_EQ(utf8ToWindows1252(windows1252ToUtf8(all)), all);
    // The undefined bytes keep their own code point.
    EXPECT_EQ(windows1252ToUtf8("\x80\xe9\x81\x8d\x8f\x90\x9d"),
              "\u20ac\u00e9\u0081\u008d\u008f\u0090\u009d");
    EXPECT_EQ(utf8ToWindows1252("\u0153uvre"), "\x9cuvre");
    // A character without a byte becomes "?" as Windows makes it; a surrogate pair is one.
    EXPECT_EQ(utf16ToWindows1252Lossy(u"\u00e9\u20ac\u0416x\U0001F600"), "\xe9\x80?x?");
}

TEST(Windows1252, RefusesCharactersWithoutAByteAndBrokenUtf8) {
    // Characters without a byte, broken sequences, overlong forms (a NUL and an "A" in two
    // bytes, a NUL in three and four), surrogates, code points above U+10FFFF, and a NUL itself,
    // which no text field can hold.
    for (std::string broken :
         {"\u0410", "\U0001F600", "\xc3", "a\xff", "\xe2\x82",
          "AB\xc0\x80"
          "CD",
          "\xc1\x81", "\xe0\x80\x80", "\xe0\x9f\xbf", "\xf0\x80\x80\x80", "\xed\xa0\x80",
          "\xed\xbf\xbf", "\xf4\x90\x80\x80", "\xf7\xbf\xbf\xbf"})
        EXPECT_FALSE(utf8ToWindows1252(broken).has_value()) << broken;
    EXPECT_FALSE(utf8ToWindows1252(std::string("a\0b", 3)).has_value());
    // The shortest forms just past the overlong ones are characters.
    for (auto [text, codePoint] : {std::pair<std::string_view, char32_t>{"\xc2\x80", 0x80},
                                   {"\xe0\xa0\x80", 0x800},
                                   {"\xf4\x8f\xbf\xbf", 0x10FFFF}}) {
        std::size_t pos = 0;
        EXPECT_EQ(decodeUtf8(text, pos), codePoint);
        EXPECT_EQ(pos, text.size());
    }
}

} // namespace
} // namespace quillfen
