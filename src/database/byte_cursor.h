#pragma once

#include <algorithm>
#include <cstddef>
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
        const auto* first = reinterpret_cast<const char*>(bytes.data());
        const void* zero = std::memchr(first, 0, bytes.size());
        return {first, zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - first)
                            : bytes.size()};
    }

private:
    std::span<const unsigned char> bytes_;
};

} // namespace quillfen
