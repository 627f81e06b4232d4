#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace quillfen {

// The value of a hex digit; -1 for any other character.
inline int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Wine's escaped text in system.reg, read one UTF-16 code unit at a time up to an unescaped
// closing character (']' for a key path, '"' for a name or a text). wineserver writes "\\",
// "\"", "\[", "\]", C escapes such as "\n", octal for other control characters, and "\x" with
// at most four hex digits for every code unit above 127; it reads raw bytes above 127 as UTF-8.
class EscapedText {
public:
    EscapedText(std::string_view text, std::size_t pos, char close)
        : text_(text), pos_(pos), close_(close) {}

    // The next code unit; nullopt at the closing character or at the end of the line. The plain
    // characters are read here, as every key line of a listing is read through this.
    std::optional<char16_t> next() {
        if (low_) {
            char16_t unit = *low_;
            low_.reset();
            return unit;
        }
        if (closed_ || pos_ >= text_.size() || text_[pos_] == '\n')
            return std::nullopt;
        char c = text_[pos_];
        if (c == close_) {
            closed_ = true;
            ++pos_;
            return std::nullopt;
        }
        if (c == '\\' && pos_ + 1 < text_.size() && text_[pos_ + 1] != '\n') {
            // A doubled backslash is every separator of a key path: the common case first.
            if (text_[pos_ + 1] == '\\') {
                pos_ += 2;
                return u'\\';
            }
            ++pos_;
            return escape();
        }
        if (static_cast<unsigned char>(c) < 0x80) {
            ++pos_;
            return static_cast<char16_t>(c);
        }
        return utf8();
    }

    // True once the closing character was met (not the end of the line).
    bool closed() const { return closed_; }
    // Just past the closing character.
    std::size_t position() const { return pos_; }

private:
    // The escape just past its backslash.
    char16_t escape();
    // The character whose UTF-8 bytes begin here; its second code unit waits in `low_`.
    char16_t utf8();

    std::string_view text_;
    std::size_t pos_;
    char close_;
    bool closed_ = false;
    std::optional<char16_t> low_;
};

} // namespace quillfen
