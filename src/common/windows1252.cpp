#include "common/windows1252.h"

#include <array>

namespace quillfen {
namespace {

// Code points of the bytes 0x80 to 0x9F; the undefined ones keep their own value.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t codePointOf(unsigned char byte) {
    if (byte >= 0x80 && byte <= 0x9F)
        return kHighControls[byte - 0x80];
    return byte;
}

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

bool isLeadSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool isTrailSurrogate(char32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

} // namespace

std::optional<unsigned char> windows1252Byte(char32_t codePoint) {
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF))
        return static_cast<unsigned char>(codePoint);
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == codePoint)
            return static_cast<unsigned char>(0x80 + i);
    }
    return std::nullopt;
}

std::string windows1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (char c : bytes)
        appendUtf8(out, codePointOf(static_cast<unsigned char>(c)));
    return out;
}

std::optional<char32_t> decodeUtf8(std::string_view text, std::size_t& pos) {
    auto lead = static_cast<unsigned char>(text[pos]);
    int extra = lead < 0x80             ? 0
                : (lead & 0xE0) == 0xC0 ? 1
                : (lead & 0xF0) == 0xE0 ? 2
                : (lead & 0xF8) == 0xF0 ? 3
                                        : -1;
    if (extra < 0 || pos + static_cast<std::size_t>(extra) >= text.size()) {
        ++pos;
        return std::nullopt;
    }
    char32_t cp = extra == 0 ? lead : lead & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
        auto next = static_cast<unsigned char>(text[pos + static_cast<std::size_t>(k)]);
        if ((next & 0xC0) != 0x80) {
            ++pos;
            return std::nullopt;
        }
        cp = (cp << 6) | (next & 0x3F);
    }
    // Only the shortest form of a code point is UTF-8: "C0 80" is no NUL. Surrogates and code
    // points past U+10FFFF are no characters either.
    constexpr std::array<char32_t, 4> kShortest = {0, 0x80, 0x800, 0x10000};
    if (cp < kShortest[static_cast<std::size_t>(extra)] || (cp >= 0xD800 && cp <= 0xDFFF) ||
        cp > 0x10FFFF) {
        ++pos;
        return std::nullopt;
    }
    pos += 1 + static_cast<std::size_t>(extra);
    return cp;
}

std::optional<std::string> utf8ToWindows1252(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();) {
        auto cp = decodeUtf8(utf8, pos);
        auto byte = cp ? windows1252Byte(*cp) : std::nullopt;
        // A NUL would end the text where a file stores it.
        if (!byte || *byte == 0)
            return std::nullopt;
        out += static_cast<char>(*byte);
    }
    return out;
}

std::string utf16ToWindows1252Lossy(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        // A surrogate pair is one character, and never has a byte.
        if (isLeadSurrogate(cp) && i + 1 < text.size() && isTrailSurrogate(text[i + 1]))
            ++i;
        auto byte = windows1252Byte(cp);
        out += byte ? static_cast<char>(*byte) : '?';
    }
    return out;
}

std::string utf8ToWindows1252Lossy(std::string_view utf8) {
    std::string out;
    for (std::size_t pos = 0; pos < utf8.size();) {
        auto byte = windows1252Byte(decodeUtf8(utf8, pos).value_or(0xFFFD));
        out += byte ? static_cast<char>(*byte) : '?';
    }
    return out;
}

std::string utf16ToUtf8(std::u16string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (isLeadSurrogate(cp) && i + 1 < text.size() && isTrailSurrogate(text[i + 1]))
            cp = 0x10000 + ((cp - 0xD800) << 10) + (char32_t{text[++i]} - 0xDC00);
        else if (isLeadSurrogate(cp) || isTrailSurrogate(cp))
            cp = 0xFFFD;
        appendUtf8(out, cp);
    }
    return out;
}

} // namespace quillfen
