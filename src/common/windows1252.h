#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quillfen {

// The core keeps the texts of the files (names, titles, folders) as their single-byte
// Windows-1252 strings, byte for byte; these convert them to and from UTF-8: where a message
// (UTF-8) names one, and where a typed text is stored. The five bytes that
// Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the code points of the same
// value, so every byte string survives a round trip.

std::string windows1252ToUtf8(std::string_view bytes);

// nullopt when the text holds a character with no Windows-1252 byte, or a NUL, which would end
// it in a file, or is not valid UTF-8.
std::optional<std::string> utf8ToWindows1252(std::string_view utf8);

// As the ANSI calls of Windows convert: a character with no byte becomes '?'.
std::string utf16ToWindows1252Lossy(std::u16string_view text);
// The same from UTF-8; what is no valid UTF-8 is '?'.
std::string utf8ToWindows1252Lossy(std::string_view utf8);

// The registry's UTF-16 as UTF-8; a surrogate without its pair becomes U+FFFD.
std::string utf16ToUtf8(std::u16string_view text);

// The code point of the UTF-8 sequence at `pos`, moving `pos` past it; nullopt (and `pos` one
// byte on) when the bytes there are no valid sequence: broken, overlong, a surrogate, or past
// U+10FFFF.
std::optional<char32_t> decodeUtf8(std::string_view text, std::size_t& pos);

// The byte for one code point, or nullopt.
std::optional<unsigned char> windows1252Byte(char32_t codePoint);

} // namespace quillfen
