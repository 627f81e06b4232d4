#include "levelfile/dos_sections.h"

#include "database/byte_cursor.h"

namespace quillfen::levelfile {
namespace {

// The compressed bits, read from the last byte backwards, lowest bit first. The last byte
// holds only `bitCount` bits (none when 0).
class BitReader {
public:
    BitReader(std::span<const unsigned char> bytes, unsigned bitCount)
        : bytes_(bytes), at_(bytes.size() - 1), current_(bytes.back()), left_(bitCount) {}

    // The next `width` bits, the first read the highest; nullopt when the stream runs out.
    std::optional<unsigned> read(unsigned width) {
        unsigned value = 0;
        for (unsigned i = 0; i < width; ++i) {
            if (left_ == 0) {
                if (at_ == 0)
                    return std::nullopt;
                current_ = bytes_[--at_];
                left_ = 8;
            }
            value = value << 1 | (current_ & 1u);
            current_ >>= 1;
            --left_;
        }
        return value;
    }

    bool atEnd() const { return left_ == 0 && at_ == 0; }

private:
    std::span<const unsigned char> bytes_;
    std::size_t at_; // the byte whose bits are being read
    unsigned current_;
    unsigned left_; // bits of it not read yet
};

std::optional<unsigned> plus(std::optional<unsigned> n, unsigned more) {
    if (n)
        *n += more;
    return n;
}

// The most bytes a stream of `bytes` can unpack to: every code a copy of 256 bytes, the
// densest code there is (23 bits).
std::size_t mostUnpacked(std::size_t bytes) {
    return (bytes * 8 / 23 + 1) * 256;
}

// One section's stream, unpacked from its end to its start into `size` bytes. The reason when
// the stream does not make exactly that.
Result<std::vector<unsigned char>> unpackSection(std::span<const unsigned char> stream,
                                                 unsigned bitCount, std::size_t size,
                                                 std::string_view piece) {
    const std::string endsEarly =
        "its compressed stream ends before the " + std::string(piece) + " is complete";
    const std::string endsLate =
        "its compressed stream goes on after the " + std::string(piece) + " is complete";
    std::vector<unsigned char> out(size);
    std::size_t left = out.size(); // the next byte goes to out[left - 1]
    BitReader bits(stream, bitCount);
    while (left > 0) {
        auto first = bits.read(1);
        auto second = first ? bits.read(*first ? 2 : 1) : std::nullopt;
        if (!second)
            return Error{endsEarly};
        // 00, 01, then 100, 101, 110, 111 as 4 to 7.
        unsigned code = *first << 2 | *second;
        std::optional<unsigned> length;
        std::optional<unsigned> offset; // none for raw bytes
        switch (code) {
        case 0:
            length = plus(bits.read(3), 1);
            break;
        case 1:
            length = 2;
            offset = bits.read(8);
            break;
        case 4:
            length = 3;
            offset = bits.read(9);
            break;
        case 5:
            length = 4;
            offset = bits.read(10);
            break;
        case 6:
            length = plus(bits.read(8), 1);
            offset = length ? bits.read(12) : std::nullopt;
            break;
        default:
            length = plus(bits.read(8), 9);
            break;
        }
        bool copy = code != 0 && code != 7;
        if (!length || (copy && !offset))
            return Error{endsEarly};
        if (*length > left)
            return Error{endsLate};
        // A copy takes out[i + offset + 1] for each i it writes; the first is the farthest.
        if (copy && left + *offset >= out.size())
            return Error{"its compressed stream copies from beyond the end of the " +
                         std::string(piece)};
        for (unsigned n = 0; n < *length; ++n, --left) {
            if (copy) {
                out[left - 1] = out[left + *offset];
                continue;
            }
            auto byte = bits.read(8);
            if (!byte)
                return Error{endsEarly};
            out[left - 1] = static_cast<unsigned char>(*byte);
        }
    }
    if (!bits.atEnd())
        return Error{endsLate};
    return out;
}

std::string hexByte(unsigned value) {
    const char* digits = "0123456789ABCDEF";
    return std::string("0x") + digits[value >> 4 & 15] + digits[value & 15];
}

} // namespace

std::string twoDigits(std::size_t n) {
    std::string digits = std::to_string(n);
    if (digits.size() < 2)
        digits.insert(digits.begin(), '0');
    return digits;
}

Result<std::vector<std::vector<unsigned char>>>
unpackSections(std::span<const unsigned char> file, std::string_view piece,
               std::optional<std::size_t> unpackedSize) {
    if (file.empty())
        return Error{"the file is empty"};
    std::vector<std::vector<unsigned char>> sections;
    ByteCursor bytes(file);
    std::size_t at = 0;
    while (at < file.size()) {
        auto damaged = [&](const std::string& why) {
            return Error{"section " + twoDigits(sections.size()) + " (at byte " +
                             std::to_string(at) + "): " + why,
                         at, sections.size()};
        };
        std::size_t rest = file.size() - at;
        // Also what stray bytes after the last section come to.
        if (rest < kSectionHeaderSize)
            return damaged("only " + std::to_string(rest) +
                           " byte(s) are left, too few for a 10-byte section header");
        ByteCursor header = bytes.at(at);
        unsigned bitCount = header.byte(0);
        unsigned checksum = header.byte(1);
        std::size_t unpacked = header.be32(2);
        std::size_t packed = header.be32(6);
        if (packed <= kSectionHeaderSize || packed > rest)
            return damaged("its packed size " + std::to_string(packed) +
                           " does not fit the header and the " + std::to_string(rest) +
                           " bytes left in the file");
        if (bitCount > 8)
            return damaged("its bit count is " + std::to_string(bitCount) + ", more than 8");
        auto stream = file.subspan(at + kSectionHeaderSize, packed - kSectionHeaderSize);
        unsigned sum = 0;
        for (unsigned char byte : stream)
            sum ^= byte;
        if (sum != checksum)
            return damaged("its checksum is " + hexByte(checksum) + " but its bytes give " +
                           hexByte(sum));
        if (unpackedSize && unpacked != *unpackedSize)
            return damaged("its unpacked size is " + std::to_string(unpacked) + ", not " +
                           std::to_string(*unpackedSize));
        // A size read from the file is checked before its bytes are allocated.
        if (!unpackedSize && unpacked > mostUnpacked(stream.size()))
            return damaged("its unpacked size " + std::to_string(unpacked) + " is more than its " +
                           std::to_string(stream.size()) + " compressed bytes can give");
        auto section = unpackSection(stream, bitCount, unpacked, piece);
        if (!section)
            return damaged(section.error());
        sections.push_back(std::move(*section));
        at += packed;
    }
    return sections;
}

} // namespace quillfen::levelfile
