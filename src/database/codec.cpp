#include "database/codec.h"

#include "database/byte_cursor.h"

#include <algorithm>
#include <cstring>

namespace quillfen {

std::string ReadString(std::span<const unsigned char> bytes, std::size_t add, std::size_t width) {
    return std::string(ByteCursor(bytes).text(add, width));
}

std::string ReadStringFromFile(std::int64_t pos, std::istream& file, std::size_t limit) {
    std::string text;
    auto saved = file.tellg();
    file.clear();
    file.seekg(pos - 1);
    char c;
    while (text.size() < limit && file.get(c) && c != '\0')
        text += c;
    file.clear();
    file.seekg(saved);
    return text;
}

void writebyte(std::vector<unsigned char>& file, std::int32_t& pos, unsigned char data) {
    auto at = static_cast<std::size_t>(pos - 1);
    if (file.size() <= at)
        file.resize(at + 1);
    file[at] = data;
    ++pos;
}

std::span<unsigned char> nextBytes(std::vector<unsigned char>& file, std::int32_t& pos,
                                   std::size_t width) {
    auto at = static_cast<std::size_t>(pos - 1);
    if (file.size() < at + width)
        file.resize(at + width);
    pos += static_cast<std::int32_t>(width);
    return std::span(file).subspan(at, width);
}

void WriteStringToFile(std::string_view s, std::vector<unsigned char>& file, std::int32_t& pos,
                       int padding) {
    auto field = nextBytes(file, pos, static_cast<std::size_t>(std::max(padding, 0)));
    // A text ends at a zero byte inside it, as a reader of the field takes it.
    s = s.substr(0, s.find('\0'));
    std::size_t n = std::min(s.size(), field.size());
    if (n > 0)
        std::memcpy(field.data(), s.data(), n);
    std::fill(field.begin() + static_cast<std::ptrdiff_t>(n), field.end(), 0);
}

} // namespace quillfen
