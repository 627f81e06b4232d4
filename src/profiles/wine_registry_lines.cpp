#include "profiles/wine_registry_lines.h"

#include "profiles/wine_text.h"

#include <cstdint>
#include <cstring>

namespace quillfen {
namespace {

void appendUnit(std::vector<unsigned char>& data, char16_t unit) {
    data.push_back(static_cast<unsigned char>(unit & 0xFF));
    data.push_back(static_cast<unsigned char>(unit >> 8));
}

// A quoted text from `pos` (just past its opening quote), as stored: UTF-16LE with its zero.
std::optional<std::vector<unsigned char>> parseText(std::string_view text, std::size_t pos) {
    EscapedText escaped(text, pos, '"');
    std::vector<unsigned char> data;
    while (auto unit = escaped.next())
        appendUnit(data, *unit);
    if (!escaped.closed())
        return std::nullopt;
    appendUnit(data, 0);
    return data;
}

// "hex:01,02,\" with continuation lines that begin with blanks.
std::optional<std::vector<unsigned char>> parseHex(std::string_view text, std::size_t pos) {
    std::vector<unsigned char> data;
    while (pos < text.size()) {
        char c = text[pos];
        if (c == ' ' || c == '\t' || c == ',' || c == '\r') {
            ++pos;
        } else if (c == '\\') {
            // The value goes on over the next line.
            pos = nextLine(text, pos);
        } else if (c == '\n') {
            break;
        } else {
            int high = hexDigit(c);
            int low = pos + 1 < text.size() ? hexDigit(text[pos + 1]) : -1;
            if (high < 0 || low < 0)
                return std::nullopt;
            data.push_back(static_cast<unsigned char>(high * 16 + low));
            pos += 2;
        }
    }
    return data;
}

// A hex number of at most eight digits from `pos`, such as the type in "hex(2):"; moves `pos`
// past it.
std::optional<std::uint32_t> parseNumber(std::string_view text, std::size_t& pos) {
    std::uint32_t value = 0;
    std::size_t start = pos;
    for (; pos < text.size() && hexDigit(text[pos]) >= 0 && pos - start < 8; ++pos)
        value = value * 16 + static_cast<std::uint32_t>(hexDigit(text[pos]));
    if (pos == start)
        return std::nullopt;
    return value;
}

bool startsWith(std::string_view text, std::size_t pos, std::string_view prefix) {
    return text.substr(pos, prefix.size()) == prefix;
}

} // namespace

std::u16string normalPath(std::u16string_view keyPath) {
    std::u16string out;
    bool separator = false;
    for (char16_t unit : keyPath) {
        if (unit == u'\\') {
            separator = !out.empty();
            continue;
        }
        if (separator)
            out += u'\\';
        separator = false;
        out += foldCase(unit);
    }
    return out;
}

std::string plainForm(std::u16string_view path) {
    std::string out;
    for (char16_t unit : path) {
        if (unit >= 0x80 || unit < 0x20 || unit == u'"' || unit == u'[' || unit == u']')
            return {};
        if (unit == u'\\')
            out += '\\';
        out += static_cast<char>(unit);
    }
    return out;
}

std::size_t differsWithin(std::string_view text, std::size_t pos, std::string_view plain) {
    for (std::size_t k = 0; k < plain.size(); ++k) {
        if (pos + k >= text.size())
            return k;
        auto c = static_cast<unsigned char>(text[pos + k]);
        if (c == static_cast<unsigned char>(plain[k]) ||
            (c >= 'A' && c <= 'Z' && c + ('a' - 'A') == plain[k]))
            continue;
        return c != '\\' && c < 0x80 ? k + 1 : 0;
    }
    return 0;
}

bool sameBytes(const char* a, const char* b, std::size_t n) {
    for (; n >= 8; n -= 8, a += 8, b += 8) {
        std::uint64_t x, y;
        std::memcpy(&x, a, 8);
        std::memcpy(&y, b, 8);
        if (x != y)
            return false;
    }
    for (; n; --n) {
        if (*a++ != *b++)
            return false;
    }
    return true;
}

std::size_t nextKeyLine(std::string_view text, std::size_t pos) {
    for (pos = text.find('[', pos); pos != std::string_view::npos; pos = text.find('[', pos + 1)) {
        if (pos == 0 || text[pos - 1] == '\n')
            return pos;
    }
    return text.size();
}

std::string_view lineAt(std::string_view text, std::size_t pos) {
    auto end = text.find('\n', pos);
    std::string_view line = text.substr(pos, end == std::string_view::npos ? end : end - pos);
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return line;
}

std::size_t nextLine(std::string_view text, std::size_t pos) {
    auto end = text.find('\n', pos);
    return end == std::string_view::npos ? text.size() : end + 1;
}

std::optional<RegistryValue> parseData(std::string_view text, std::size_t pos) {
    RegistryValue value;
    if (startsWith(text, pos, "\"")) {
        value.type = kRegSz;
        auto data = parseText(text, pos + 1);
        if (!data)
            return std::nullopt;
        value.data = std::move(*data);
    } else if (startsWith(text, pos, "str(")) {
        pos += 4;
        auto type = parseNumber(text, pos);
        if (!type || !startsWith(text, pos, "):\""))
            return std::nullopt;
        auto data = parseText(text, pos + 3);
        if (!data)
            return std::nullopt;
        value = {*type, std::move(*data)};
    } else if (startsWith(text, pos, "dword:")) {
        pos += 6;
        auto number = parseNumber(text, pos);
        if (!number || !lineAt(text, pos).empty())
            return std::nullopt;
        value.type = kRegDword;
        for (int shift = 0; shift < 32; shift += 8)
            value.data.push_back(static_cast<unsigned char>((*number >> shift) & 0xFF));
    } else if (startsWith(text, pos, "hex:") || startsWith(text, pos, "hex(")) {
        value.type = kRegBinary;
        pos += 4;
        if (text[pos - 1] == '(') {
            auto type = parseNumber(text, pos);
            if (!type || !startsWith(text, pos, "):"))
                return std::nullopt;
            value.type = *type;
            pos += 2;
        }
        auto data = parseHex(text, pos);
        if (!data)
            return std::nullopt;
        value.data = std::move(*data);
    } else {
        return std::nullopt;
    }
    return value;
}

} // namespace quillfen
