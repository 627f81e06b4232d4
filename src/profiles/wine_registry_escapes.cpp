#include "profiles/wine_registry_escapes.h"

#include "common/windows1252.h"
#include "profiles/wine_text.h"

#include <string>

namespace quillfen {

char16_t EscapedText::escape() {
    char c = text_[pos_++];
    switch (c) {
    case 'a':
        return u'\a';
    case 'b':
        return u'\b';
    case 'e':
        return char16_t{0x1B};
    case 'f':
        return u'\f';
    case 'n':
        return u'\n';
    case 'r':
        return u'\r';
    case 't':
        return u'\t';
    case 'v':
        return u'\v';
    case 'x': {
        unsigned value = 0;
        int digits = 0;
        for (; digits < 4 && pos_ < text_.size() && hexDigit(text_[pos_]) >= 0; ++digits)
            value = value * 16 + static_cast<unsigned>(hexDigit(text_[pos_++]));
        return digits ? static_cast<char16_t>(value) : u'x';
    }
    default:
        break;
    }
    if (c >= '0' && c <= '7') {
        unsigned value = static_cast<unsigned>(c - '0');
        for (int digits = 1;
             digits < 3 && pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '7';
             ++digits)
            value = value * 8 + static_cast<unsigned>(text_[pos_++] - '0');
        return static_cast<char16_t>(value);
    }
    if (static_cast<unsigned char>(c) >= 0x80) {
        --pos_;
        return utf8();
    }
    return static_cast<char16_t>(c);
}

char16_t EscapedText::utf8() {
    std::u16string units;
    appendUtf16(units, decodeUtf8(text_, pos_).value_or(0xFFFD));
    if (units.size() == 2)
        low_ = units[1];
    return units[0];
}

} // namespace quillfen
