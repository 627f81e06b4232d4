#include "database/codec.h"

#include <algorithm>
#include <cstring>

namespace quillfen {

std::string ReadString(std::span<const unsigned char> bytes, std::size_t add, std::size_t width) {
    if (add >= bytes.size())
        return {};
    std::size_t end = std::min(bytes.size(), add + width);
    const unsigned char* first = bytes.data() + add;
    const void* zero = std::memchr(first, 0, end - add);
    std::size_t length =
        zero ? static_cast<std::size_t>(static_cast<const unsigned char*>(zero) - first)
             : end - add;
    return std::string(reinterpret_cast<const char*>(first), length);
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

void WriteStringToFile(std::string_view s, std::vector<unsigned char>& file, std::int32_t& pos,
                       int padding) {
    // A text ends at a zero byte inside it, as a reader of the field takes it.
    s = s.substr(0, s.find('\0'));
    for (int i = 0; i < padding; ++i) {
        auto i_ = static_cast<std::size_t>(i);
        writebyte(file, pos, i_ < s.size() ? static_cast<unsigned char>(s[i_]) : 0);
    }
}

} // namespace quillfen
