#pragma once

#include <cstdint>
#include <istream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quillfen {

// True exactly when the reference names no node: the end of a sibling chain.
template <class T> bool IsNothing(const T* node) {
    return node == nullptr;
}

// The low and high 8 bits of a 16-bit value; a 16-bit value is written LoByte, then HiByte.
constexpr unsigned char LoByte(int w) {
    return static_cast<unsigned char>(w & 0xFF);
}
constexpr unsigned char HiByte(int w) {
    return static_cast<unsigned char>((w >> 8) & 0xFF);
}

// The text that starts at offset `add` of `bytes`: up to its first zero byte, at most `width`
// bytes, and never past the end of `bytes`.
std::string ReadString(std::span<const unsigned char> bytes, std::size_t add, std::size_t width);

// The text at 1-based position `pos` of an open file, each byte read once, up to its first zero
// byte, the end of the file, or `limit` bytes. The stream's read position is restored.
std::string ReadStringFromFile(std::int64_t pos, std::istream& file, std::size_t limit);

// The file being written is a byte buffer; `pos` is the 1-based position of the next byte and
// goes up by one per byte. The buffer grows as needed.
void writebyte(std::vector<unsigned char>& file, std::int32_t& pos, unsigned char data);

// The `width` bytes from 1-based position `pos` of the file buffer, which grows to hold them;
// `pos` moves past them. Fields are written whole through it, one copy a field.
std::span<unsigned char> nextBytes(std::vector<unsigned char>& file, std::int32_t& pos,
                                   std::size_t width);

// A field of exactly `padding` bytes: the text's bytes up to a zero byte in it, cut to the
// field, then zero bytes.
void WriteStringToFile(std::string_view s, std::vector<unsigned char>& file, std::int32_t& pos,
                       int padding);

} // namespace quillfen
