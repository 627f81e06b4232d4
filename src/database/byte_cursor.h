#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>

namespace quillfen {

// Reads the bytes of a file from a place in it, at offsets from that place. Every read is
// checked against the end of the bytes first: a byte past the end reads as 0, and a field that
// reaches past the end is cut there.
class ByteCursor {
public:
    explicit ByteCursor(std::span<const unsigned char> bytes) : bytes_(bytes) {}

    std::size_t size() const { return bytes_.size(); }

    // A cursor at `offset` from this one's place (at the end, if that lies beyond).
    ByteCursor at(std::size_t offset) const {
        return ByteCursor(bytes_.subspan(std::min(offset, bytes_.size())));
    }

    unsigned byte(std::size_t offset) const { return offset < bytes_.size() ? bytes_[offset] : 0u; }
    // A 16-bit value, its low byte first.
    unsigned word(std::size_t offset) const { return byte(offset) | byte(offset + 1) << 8; }

    // The `width` bytes at `offset`, fewer where the bytes end.
    std::span<const unsigned char> field(std::size_t offset, std::size_t width) const {
        if (offset >= bytes_.size())
            return {};
        return bytes_.subspan(offset, std::min(width, bytes_.size() - offset));
    }

    // The text of the field at `offset`: its bytes up to the first zero byte.
    std::string_view text(std::size_t offset, std::size_t width) const {
        auto bytes = field(offset, width);
        if (bytes.empty())
            return {};
        return {reinterpret_cast<const char*>(bytes.data()), textLength(bytes)};
    }

private:
    // The place of the first zero byte, eight bytes at a time: the fields are a few dozen bytes
    // long, too short for memchr to pay for its call.
    static std::size_t textLength(std::span<const unsigned char> bytes) {
        constexpr std::uint64_t lows = 0x7f7f7f7f7f7f7f7f;
        std::size_t i = 0;
        for (; i + 8 <= bytes.size(); i += 8) {
            std::uint64_t word;
            std::memcpy(&word, bytes.data() + i, 8);
            // The high bit of each zero byte, and of no other.
            if (std::uint64_t zeros = ~(((word & lows) + lows) | word | lows)) {
                int before = std::endian::native == std::endian::little ? std::countr_zero(zeros)
                                                                        : std::countl_zero(zeros);
                return i + static_cast<std::size_t>(before) / 8;
            }
        }
        while (i < bytes.size() && bytes[i] != 0)
            ++i;
        return i;
    }

    std::span<const unsigned char> bytes_;
};

// Writes the bytes of a file at offsets from a place in it, as ByteCursor reads them. Every
// write is checked against the end of the bytes first: a field that reaches past the end is cut
// there.
class ByteWriter {
public:
    explicit ByteWriter(std::span<unsigned char> bytes) : bytes_(bytes) {}

    // A writer at `offset` from this one's place (at the end, if that lies beyond).
    ByteWriter at(std::size_t offset) const {
        return ByteWriter(bytes_.subspan(std::min(offset, bytes_.size())));
    }

    void byte(std::size_t offset, unsigned value) const {
        if (offset < bytes_.size())
            bytes_[offset] = static_cast<unsigned char>(value & 0xFF);
    }
    // A 16-bit value, its low byte first.
    void word(std::size_t offset, unsigned value) const {
        byte(offset, value);
        byte(offset + 1, value >> 8);
    }

    template <std::size_t N>
    void field(std::size_t offset, const std::array<unsigned char, N>& fixed) const {
        auto to = place(offset, N);
        std::copy_n(fixed.begin(), to.size(), to.begin());
    }

    // A text field of `width` bytes: the text up to a zero byte in it, cut to the field, then
    // zero bytes, so that a text read back from a field is written as the same bytes.
    void text(std::size_t offset, std::size_t width, std::string_view text) const {
        auto to = place(offset, width);
        text = text.substr(0, std::min(text.find('\0'), to.size()));
        auto end = std::copy(text.begin(), text.end(), to.begin());
        std::fill(end, to.end(), 0);
    }

private:
    std::span<unsigned char> place(std::size_t offset, std::size_t width) const {
        if (offset >= bytes_.size())
            return {};
        return bytes_.subspan(offset, std::min(width, bytes_.size() - offset));
    }

    std::span<unsigned char> bytes_;
};

} // namespace quillfen
