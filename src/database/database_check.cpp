#include "database/database_check.h"

#include "database/database_format.h"

#include <algorithm>
#include <cstdio>

namespace quillfen {
namespace {

using namespace format;

std::string hex(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "%02X", value & 0xFF);
    return text;
}

class Checker {
public:
    explicit Checker(std::span<const unsigned char> bytes) : bytes_(bytes) {}

    std::vector<std::string> run() {
        if (bytes_.size() < kHeaderSize) {
            problem(0, "the file is " + std::to_string(bytes_.size()) +
                           " bytes long, too short for its 8-byte header");
            return problems_;
        }
        for (std::size_t offset : {0, 1, 2, 3, 6, 7})
            expectByte("header", offset, 0);
        std::size_t count = word(kRecordCountOffset);
        std::size_t expected = fileSize(count);
        if (count >= 0x8000)
            problem(kRecordCountOffset,
                    "the record count " + std::to_string(count) + " reads as negative");
        else if (bytes_.size() != expected)
            problem(0, "the file is " + std::to_string(bytes_.size()) + " bytes long; " +
                           std::to_string(count) + " records make " + std::to_string(expected));
        std::size_t held = std::min(count, (bytes_.size() - kHeaderSize) / kRecordSize);
        walk(held);
        return problems_;
    }

private:
    void problem(std::size_t offset, const std::string& what) {
        problems_.push_back("offset " + std::to_string(offset) + ": " + what);
    }

    void problem(std::size_t record, std::size_t recordOffset_, const std::string& what) {
        problems_.push_back("record " + std::to_string(record) + ", offset " +
                            std::to_string(recordOffset(record) + recordOffset_) + ": " + what);
    }

    std::size_t word(std::size_t offset) const {
        return bytes_[offset] | (static_cast<std::size_t>(bytes_[offset + 1]) << 8);
    }

    void expectByte(const char* where, std::size_t offset, unsigned char value) {
        if (bytes_[offset] != value)
            problem(offset,
                    std::string(where) + " byte is " + hex(bytes_[offset]) + ", not " + hex(value));
    }

    template <std::size_t N>
    void expectFixed(std::size_t record, const std::array<unsigned char, N>& fixed,
                     std::size_t from, const char* kind) {
        const unsigned char* at = bytes_.data() + recordOffset(record);
        for (std::size_t i = 0; i < N; ++i) {
            if (at[from + i] != fixed[i])
                problem(record, from + i,
                        std::string(i == 0 && from == kKindOffset ? "kind byte of a "
                                                                  : "fixed byte of a ") +
                            kind + " record is " + hex(at[from + i]) + ", not " + hex(fixed[i]));
        }
    }

    // A text field: once a zero byte ends the text, the rest of the field must be zero too.
    void expectPadding(std::size_t record, std::size_t from, std::size_t width, const char* field) {
        const unsigned char* at = bytes_.data() + recordOffset(record) + from;
        const unsigned char* end = at + width;
        const unsigned char* zero = std::find(at, end, 0);
        for (const unsigned char* p = zero; p < end; ++p) {
            if (*p != 0) {
                problem(record, from + static_cast<std::size_t>(p - at),
                        std::string("byte behind the ") + field + " text is " + hex(*p) +
                            ", not 00");
                return;
            }
        }
    }

    void expectZeros(std::size_t record, std::size_t from, std::size_t width, const char* field) {
        const unsigned char* at = bytes_.data() + recordOffset(record) + from;
        for (std::size_t i = 0; i < width; ++i) {
            if (at[i] != 0) {
                problem(record, from + i,
                        std::string(field) + " byte is " + hex(at[i]) + ", not 00");
                return;
            }
        }
    }

    void expectIndex(std::size_t record) {
        std::size_t index = word(recordOffset(record));
        if (index != (record & 0xFFFF))
            problem(record, kRecordIndexOffset,
                    "record index is " + std::to_string(index) + ", not " + std::to_string(record));
    }

    // The records as the counts order them: a group, its sets, each set's levels.
    void walk(std::size_t records) {
        std::size_t i = 0;
        while (i < records) {
            std::size_t group = i++;
            checkGroup(group);
            std::size_t sets = word(recordOffset(group) + kCountOffset);
            std::size_t s = 0;
            for (; s < sets && i < records; ++s) {
                std::size_t set = i++;
                checkSet(set);
                std::size_t levels = word(recordOffset(set) + kCountOffset);
                std::size_t l = 0;
                for (; l < levels && i < records; ++l)
                    checkLevel(i++);
                if (l < levels)
                    problem(set, kCountOffset,
                            "the set claims " + std::to_string(levels) + " levels but only " +
                                std::to_string(l) + " records follow");
            }
            if (s < sets)
                problem(group, kCountOffset,
                        "the group claims " + std::to_string(sets) + " sets but only " +
                            std::to_string(s) + " records follow");
        }
    }

    void checkGroup(std::size_t r) {
        expectIndex(r);
        expectFixed(r, kGroupFixed, kFixedOffset, "group");
        expectPadding(r, kNameOffset, kGroupNameWidth, "group name");
        expectPadding(r, kFolderOffset, kFolderWidth, "folder");
        std::size_t sets = word(recordOffset(r) + kCountOffset);
        if (sets > static_cast<std::size_t>(kMaxSetsInGroup))
            problem(r, kCountOffset,
                    "the group claims " + std::to_string(sets) +
                        " sets; its count holds at most 255");
        expectZeros(r, kGroupZerosOffset, kGroupZerosWidth, "zero");
    }

    void checkSet(std::size_t r) {
        expectIndex(r);
        expectFixed(r, kSetFixed, kFixedOffset, "set");
        expectPadding(r, kNameOffset, kSetNameWidth, "set name");
        expectZeros(r, kSetZerosOffset, kSetZerosWidth, "zero");
    }

    void checkLevel(std::size_t r) {
        expectIndex(r);
        expectFixed(r, kLevelFixed, kFixedOffset, "level");
        expectPadding(r, kNameOffset, kLevelNameWidth, "level name");
        expectPadding(r, kLevelFileOffset, kLevelFileWidth, "level file");
        expectPadding(r, kLevelFileWideOffset, kLevelFileWideWidth, "second level file");
        const unsigned char* at = bytes_.data() + recordOffset(r);
        // Both fields hold the same name, the first cut to 34 bytes.
        if (!std::equal(at + kLevelFileOffset, at + kLevelFileOffset + kLevelFileWidth,
                        at + kLevelFileWideOffset))
            problem(r, kLevelFileWideOffset, "the two level file fields differ");
        expectFixed(r, kLevelTrailer, kLevelTrailerOffset, "level");
    }

    std::span<const unsigned char> bytes_;
    std::vector<std::string> problems_;
};

} // namespace

std::vector<std::string> checkDatabaseFile(std::span<const unsigned char> bytes) {
    return Checker(bytes).run();
}

} // namespace quillfen
