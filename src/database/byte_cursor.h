#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <string_view>

namespace quillfen {

// Reads the bytes of a file from a place in it, at offsets from that place; each read of a
// number names its byte order, as the file keeps it. Every read is checked against the end of
// the bytes first: one that reaches past the end reads as 0 (a field is cut at the end), and
// the first such read is remembered, for the cursor that the file's reader made and every
// cursor made from it, so that the reader refuses the file at that offset.
class ByteCursor {
public:
    explicit ByteCursor(std::span<const unsigned char> bytes) : bytes_(bytes) {}
    // Made from one another with at(), so that they share what they remember.
    ByteCursor(const ByteCursor&) = delete;
    ByteCursor& operator=(const ByteCursor&) = delete;

    // The bytes from this cursor's place to the end.
    std::size_t size() const { return bytes_.size(); }

    // A cursor at `offset` from this one's place (at the end, if that lies beyond).
    ByteCursor at(std::size_t offset) const {
        std::size_t skipped = std::min(offset, bytes_.size());
        return ByteCursor(bytes_.subspan(skipped), place_ + skipped, *pastEnd_);
    }

    // The offset in the file of the first read that reached past its end; none while every
    // read was inside.
    std::optional<std::size_t> pastEnd() const { return *pastEnd_; }

    unsigned byte(std::size_t offset) const { return number<1, std::endian::little>(offset); }
    unsigned le16(std::size_t offset) const { return number<2, std::endian::little>(offset); }
    unsigned be16(std::size_t offset) const { return number<2, std::endian::big>(offset); }
    std::uint32_t be32(std::size_t offset) const { return number<4, std::endian::big>(offset); }

    // The `width` bytes at `offset`, fewer where the bytes end.
    std::span<const unsigned char> field(std::size_t offset, std::size_t width) const {
        if (inside(offset, width))
            return bytes_.subspan(offset, width);
        return bytes_.subspan(std::min(offset, bytes_.size()));
    }

    // The text of the field at `offset`: its bytes up to the first zero byte.
    std::string_view text(std::size_t offset, std::size_t width) const {
        auto bytes = field(offset, width);
        if (bytes.empty())
            return {};
        return {reinterpret_cast<const char*>(bytes.data()), textLength(bytes)};
    }

private:
    ByteCursor(std::span<const unsigned char> bytes, std::size_t place,
               std::optional<std::size_t>& pastEnd)
        : bytes_(bytes), place_(place), pastEnd_(&pastEnd) {}

    // Whether the `width` bytes at `offset` are there; the first that are not is remembered.
    bool inside(std::size_t offset, std::size_t width) const {
        if (offset <= bytes_.size() && width <= bytes_.size() - offset)
            return true;
        if (!*pastEnd_)
            *pastEnd_ = place_ + std::min(offset, bytes_.size());
        return false;
    }

    // N bytes at `offset` as one number, put together by shifts in the given byte order.
    template <std::size_t N, std::endian Order> std::uint32_t number(std::size_t offset) const {
        if (!inside(offset, N))
            return 0;
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < N; ++i)
            value = value << 8 | bytes_[offset + (Order == std::endian::big ? i : N - 1 - i)];
        return value;
    }

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
    // Where this cursor's place lies in the file.
    std::size_t place_ = 0;
    // What the reader's own cursor remembers; every cursor made from it points there.
    std::optional<std::size_t> firstPastEnd_;
    std::optional<std::size_t>* pastEnd_ = &firstPastEnd_;
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
    void le16(std::size_t offset, unsigned value) const {
        byte(offset, value);
        byte(offset + 1, value >> 8);
    }
    void be16(std::size_t offset, unsigned value) const {
        byte(offset, value >> 8);
        byte(offset + 1, value);
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
