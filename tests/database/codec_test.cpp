#include "common/windows1252.h"
#include "database/codec.h"

#include <gtest/gtest.h>
#include <sstream>

namespace quillfen {
namespace {

using Bytes = std::vector<unsigned char>;

TEST(FixedWidthFields, ShortTextsArePaddedAndLongTextsCutWithoutZero) {
    Bytes file;
    std::int32_t pos = 1;
    WriteStringToFile("abc", file, pos, 5);
    EXPECT_EQ(file, (Bytes{'a', 'b', 'c', 0, 0}));
    EXPECT_EQ(pos, 6);

    WriteStringToFile("abcdef", file, pos, 4);
    EXPECT_EQ(Bytes(file.begin() + 5, file.end()), (Bytes{'a', 'b', 'c', 'd'}));
    EXPECT_EQ(pos, 10);

    WriteStringToFile("", file, pos, 17);
    EXPECT_EQ(file.size(), 26u);
    EXPECT_EQ(pos, 27);

    // A text ends at a zero byte inside it: the field is padded from there, so that saving what
    // was read back writes the same bytes.
    WriteStringToFile(std::string("ab\0cd", 5), file, pos, 6);
    EXPECT_EQ(Bytes(file.begin() + 26, file.end()), (Bytes{'a', 'b', 0, 0, 0, 0}));
    EXPECT_EQ(pos, 33);

    // writebyte replaces the byte at its position.
    pos = 2;
    writebyte(file, pos, 7);
    EXPECT_EQ(file[1], 7);
    EXPECT_EQ(pos, 3);
}

TEST(ReadingTexts, StopsAtZeroAtTheFieldsEndOrAtTheEndOfTheBytes) {
    Bytes bytes{'A', 'b', 0, 'x', 'y', 'z'};
    EXPECT_EQ(ReadString(bytes, 0, 40), "Ab");
    EXPECT_EQ(ReadString(bytes, 2, 40), "");
    EXPECT_EQ(ReadString(bytes, 3, 2), "xy");
    EXPECT_EQ(ReadString(bytes, 3, 40), "xyz");
    EXPECT_EQ(ReadString(bytes, 6, 40), "");
    EXPECT_EQ(ReadString(bytes, 600, 40), "");
}

TEST(ReadingTexts, FromAFileReadsEachByteOnceAndKeepsThePosition) {
    std::istringstream file(std::string("xxAb\0tail", 9));
    file.seekg(1);
    EXPECT_EQ(ReadStringFromFile(3, file, 255), "Ab");
    EXPECT_EQ(file.tellg(), 1);
    // A title with no zero byte ends where the file ends.
    EXPECT_EQ(ReadStringFromFile(6, file, 255), "tail");
    EXPECT_EQ(ReadStringFromFile(6, file, 2), "ta");
    EXPECT_EQ(ReadStringFromFile(50, file, 255), "");
}

TEST(Windows1252, EveryByteButZeroSurvivesTheTripThroughUtf8) {
    std::string all;
    // Every byte but zero, which ends a text.
    for (int b = 1; b < 256; ++b)
        all += static_cast<char>(b);
    std::string utf8 = windows1252ToUtf8(all);
    auto back = utf8ToWindows1252(utf8);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, all);
}

TEST(Windows1252, MapsTheHighControlsAndTheUndefinedBytes) {
    EXPECT_EQ(windows1252ToUtf8("\x80"), "\u20ac");
    EXPECT_EQ(windows1252ToUtf8("\xe9t\xe9"), "\u00e9t\u00e9");
    EXPECT_EQ(windows1252ToUtf8("\x81\x8d\x8f\x90\x9d"), "\u0081\u008d\u008f\u0090\u009d");
    EXPECT_EQ(utf8ToWindows1252("\u0153uvre"), "\x9cuvre");
}

TEST(Windows1252, RefusesCharactersWithoutAByteAndBrokenUtf8) {
    EXPECT_FALSE(utf8ToWindows1252("\u0410").has_value()); // Cyrillic A
    EXPECT_FALSE(utf8ToWindows1252("\U0001F600").has_value());
    EXPECT_FALSE(utf8ToWindows1252("\xc3").has_value());
    EXPECT_FALSE(utf8ToWindows1252("a\xff").has_value());
    EXPECT_FALSE(utf8ToWindows1252("\xe2\x82").has_value());
    // Overlong forms (a NUL and an "A" in two bytes, a NUL in three and four), surrogates, code
    // points above U+10FFFF, and a NUL itself, which no text field can hold.
    for (std::string broken :
         {"AB\xc0\x80"
          "CD",
          "\xc1\x81", "\xe0\x80\x80", "\xe0\x9f\xbf", "\xf0\x80\x80\x80", "\xed\xa0\x80",
          "\xed\xbf\xbf", "\xf4\x90\x80\x80", "\xf7\xbf\xbf\xbf"})
        EXPECT_FALSE(utf8ToWindows1252(broken).has_value()) << broken;
    EXPECT_FALSE(utf8ToWindows1252(std::string("a\0b", 3)).has_value());
    // The shortest forms just past the overlong ones are characters.
    std::size_t pos = 0;
    EXPECT_EQ(decodeUtf8("\xc2\x80", pos), U'\u0080');
    pos = 0;
    EXPECT_EQ(decodeUtf8("\xe0\xa0\x80", pos), U'\u0800');
    pos = 0;
    EXPECT_EQ(decodeUtf8("\xf4\x8f\xbf\xbf", pos), U'\U0010FFFF');
    EXPECT_EQ(pos, 4u);
}

TEST(Windows1252, Utf16WithoutABecomesAQuestionMarkAsWindowsDoes) {
    EXPECT_EQ(utf16ToWindows1252Lossy(u"Andr\u00e9 \u20ac"), "Andr\xe9 \x80");
    EXPECT_EQ(utf16ToWindows1252Lossy(u"\u0416x"), "?x");
    EXPECT_EQ(utf16ToWindows1252Lossy(u"\U0001F600!"), "?!");
}

} // namespace
} // namespace quillfen
