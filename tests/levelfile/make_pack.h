#pragma once

// A compressor for DOS level packs, written from the format's description, so that the tests and
// the benchmark make their own packs.
#include "levelfile/level_file.h"
#include "levelfile/level_pack.h"

#include <algorithm>
#include <array>
#include <span>
#include <vector>

namespace quillfen::testing {

// The codes of the stream, in the order of the format's description.
enum PackCode { kRawShort, kCopy2, kCopy3, kCopy4, kCopyN, kRawLong, kPackCodes };

// The bits of one section's stream, in the order the reader takes them.
class PackStream {
public:
    // A value of `width` bits, its highest bit first.
    void bits(unsigned value, unsigned width) {
        for (unsigned i = width; i-- > 0;)
            bits_.push_back(static_cast<unsigned char>(value >> i & 1));
    }

    // 1 to 264 raw bytes, in the order they are written (from the level's end backwards).
    void raw(std::span<const unsigned char> bytes) {
        auto n = static_cast<unsigned>(bytes.size());
        if (n <= 8) {
            code(kRawShort, 0b00, 2);
            bits(n - 1, 3);
        } else {
            code(kRawLong, 0b111, 3);
            bits(n - 9, 8);
        }
        for (unsigned char byte : bytes)
            bits(byte, 8);
    }

    // Copies `length` bytes (1 to 256) from `offset` + 1 bytes further on, in the shortest code.
    void copy(unsigned length, unsigned offset) {
        if (length == 2 && offset < 256) {
            code(kCopy2, 0b01, 2);
            bits(offset, 8);
        } else if (length == 3 && offset < 512) {
            code(kCopy3, 0b100, 3);
            bits(offset, 9);
        } else if (length == 4 && offset < 1024) {
            code(kCopy4, 0b101, 3);
            bits(offset, 10);
        } else {
            code(kCopyN, 0b110, 3);
            bits(length - 1, 8);
            bits(offset, 12);
        }
    }

    std::size_t size() const { return bits_.size(); }
    const std::array<int, kPackCodes>& used() const { return used_; }

    // The section: header and compressed bytes, the header saying it unpacks to `unpacked`
    // bytes. When the bits fill whole bytes, `emptyLast` adds an unused last byte with bit count
    // 0 instead of bit count 8.
    std::vector<unsigned char> section(bool emptyLast = false,
                                       std::size_t unpacked = levelfile::kLevelFileSize) const {
        std::size_t whole = bits_.size() / 8;
        unsigned bitCount = static_cast<unsigned>(bits_.size() % 8);
        if (bitCount == 0 && !emptyLast && whole > 0) {
            bitCount = 8;
            --whole;
        }
        std::vector<unsigned char> stream(whole + 1, 0);
        stream.back() = bitCount == 0 ? 0xA5 : 0; // unused bits are ignored
        // The first bits read are the lowest of the last byte; then each byte before it.
        for (std::size_t k = 0; k < bits_.size(); ++k) {
            std::size_t byte = k < bitCount ? whole : whole - 1 - (k - bitCount) / 8;
            unsigned bit = static_cast<unsigned>(k < bitCount ? k : (k - bitCount) % 8);
            stream[byte] = static_cast<unsigned char>(stream[byte] | bits_[k] << bit);
        }
        unsigned char checksum = 0;
        for (unsigned char byte : stream)
            checksum ^= byte;
        std::size_t packed = stream.size() + levelfile::kSectionHeaderSize;
        std::vector<unsigned char> out = {static_cast<unsigned char>(bitCount), checksum};
        for (std::size_t size : {unpacked, packed})
            for (int shift = 24; shift >= 0; shift -= 8)
                out.push_back(static_cast<unsigned char>(size >> shift));
        out.resize(packed);
        std::copy(stream.begin(), stream.end(), out.begin() + levelfile::kSectionHeaderSize);
        return out;
    }

private:
    std::vector<unsigned char> bits_;
    std::array<int, kPackCodes> used_{};

    void code(PackCode which, unsigned value, unsigned width) {
        ++used_[which];
        bits(value, width);
    }
};

// A level (or any section's bytes) compressed greedily from its end to its start: the longest
// copy within reach (two bytes at least), otherwise raw bytes.
inline PackStream compressLevel(std::span<const unsigned char> level) {
    PackStream stream;
    std::vector<unsigned char> literals;
    auto flush = [&] {
        if (!literals.empty())
            stream.raw(literals);
        literals.clear();
    };
    std::size_t left = level.size(); // the next byte written is level[left - 1]
    while (left > 0) {
        std::size_t best = 0, bestDistance = 0;
        for (std::size_t distance = 1; distance <= 4096 && left - 1 + distance < level.size();
             ++distance) {
            std::size_t length = 0;
            while (length < 256 && length < left &&
                   level[left - 1 - length] == level[left - 1 - length + distance])
                ++length;
            if (length > best) {
                best = length;
                bestDistance = distance;
            }
            if (best == 256)
                break;
        }
        if (best >= 2) {
            flush();
            stream.copy(static_cast<unsigned>(best), static_cast<unsigned>(bestDistance - 1));
            left -= best;
            continue;
        }
        literals.push_back(level[--left]);
        if (literals.size() == 264)
            flush();
    }
    flush();
    return stream;
}

// A pack of the given levels, one section each; also a VGAGRn.DAT of the given sections.
inline std::vector<unsigned char> makePack(const std::vector<std::vector<unsigned char>>& levels) {
    std::vector<unsigned char> pack;
    for (const auto& level : levels) {
        auto section = compressLevel(level).section(false, level.size());
        pack.insert(pack.end(), section.begin(), section.end());
    }
    return pack;
}

// A level such as the packs hold: counts and title, and a body of runs, repeats and noise from
// `seed`, so that compressing it uses every code.
inline std::vector<unsigned char> packLevel(unsigned seed, unsigned char lemmings,
                                            const std::string& title) {
    std::vector<unsigned char> level(levelfile::kLevelFileSize, 0);
    unsigned state = seed * 2654435761u + 1;
    auto next = [&] {
        state = state * 1103515245u + 12345u;
        return static_cast<unsigned char>(state >> 16);
    };
    for (std::size_t i = 0x20; i < levelfile::kTitleOffset; ++i)
        level[i] = (i / 97) % 3 == 0 ? 0 : next(); // zero runs among noise
    // Repeats of 2, 3 and 4 bytes near their source, and a long one far from it.
    for (auto [to, from, length] : {std::array<std::size_t, 3>{400, 450, 2},
                                    {700, 1000, 3},
                                    {1270, 1870, 4},
                                    {1300, 1600, 2},
                                    {100, 1560, 256}})
        std::copy_n(level.begin() + static_cast<std::ptrdiff_t>(from), length,
                    level.begin() + static_cast<std::ptrdiff_t>(to));
    level[3] = lemmings;
    level[5] = lemmings / 2;
    level[7] = 5;
    std::string padded = title;
    padded.resize(levelfile::kTitleWidth, ' ');
    std::copy(padded.begin(), padded.end(), level.begin() + levelfile::kTitleOffset);
    return level;
}

} // namespace quillfen::testing
