#include "database/database_check.h"

#include "common/windows1252.h"
#include "common/windows_names.h"
#include "database/byte_cursor.h"
#include "database/database_format.h"
#include "database/record_walk.h"

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

std::string number(std::size_t value) {
    return std::to_string(value);
}

class Checker {
public:
    explicit Checker(std::span<const unsigned char> bytes) : file_(bytes) {}

    std::vector<std::string> run() {
        if (file_.size() < kHeaderSize) {
            problem(0, "the file is " + number(file_.size()) +
                           " bytes long, too short for its 8-byte header");
            return problems_;
        }
        for (std::size_t offset = 0; offset < kHeaderSize; ++offset) {
            bool count = offset == kRecordCountOffset || offset == kRecordCountOffset + 1;
            if (unsigned byte = file_.byte(offset); !count && byte != 0)
                problem(offset, "header byte is " + hex(byte) + ", not 00");
        }
        std::size_t count = file_.le16(kRecordCountOffset);
        std::size_t expected = fileSize(count);
        if (count >= kNegativeRecordCount)
            problem(kRecordCountOffset, "the record count " + number(count) + " reads as negative");
        else if (file_.size() != expected)
            problem(0, "the file is " + number(file_.size()) + " bytes long; " + number(count) +
                           " records make " + number(expected));
        walkRecords(file_, std::min(count, (file_.size() - kHeaderSize) / kRecordSize), *this);
        return problems_;
    }

    // The record walk's calls: every record is checked and the walk always goes on.
    bool group(std::size_t r, const ByteCursor& record, std::size_t sets) {
        expectIndex(r, record);
        expectFixed(r, record, kGroupFixed, "group");
        expectPadding(r, record, kNameOffset, kGroupNameWidth, "group name");
        expectPadding(r, record, kFolderOffset, kFolderWidth, "folder");
        if (sets > static_cast<std::size_t>(kMaxSetsInGroup))
            problem(r, kCountOffset,
                    "the group claims " + number(sets) + " sets; its count holds at most 255");
        expectZeros(r, record, kGroupZerosOffset, kGroupZerosWidth);
        return true;
    }

    bool set(std::size_t r, const ByteCursor& record, std::size_t) {
        expectIndex(r, record);
        expectFixed(r, record, kSetFixed, "set");
        expectPadding(r, record, kNameOffset, kSetNameWidth, "set name");
        expectZeros(r, record, kSetZerosOffset, kSetZerosWidth);
        return true;
    }

    bool level(std::size_t r, const ByteCursor& record) {
        expectIndex(r, record);
        expectFixed(r, record, kLevelFixed, "level");
        expectPadding(r, record, kNameOffset, kLevelNameWidth, "level name");
        expectPadding(r, record, kLevelFileOffset, kLevelFileWidth, "level file");
        expectPadding(r, record, kLevelFileWideOffset, kLevelFileWideWidth, "second level file");
        // Both fields hold the same name, the first cut to 34 bytes.
        if (!std::ranges::equal(record.field(kLevelFileOffset, kLevelFileWidth),
                                record.field(kLevelFileWideOffset, kLevelFileWidth)))
            problem(r, kLevelFileWideOffset, "the two level file fields differ");
        // The game opens the level's file by this name.
        auto file = record.field(kLevelFileWideOffset, kLevelFileWideWidth);
        std::string name(file.begin(), std::ranges::find(file, 0));
        if (std::string reason = windowsNameRefusal(name, "level file name"); !reason.empty())
            problem(r, kLevelFileWideOffset, windows1252ToUtf8(reason));
        expectFixed(r, record, kLevelTrailer, "level", kLevelTrailerOffset);
        return true;
    }

    bool shortSet(std::size_t set, std::size_t levels, std::size_t found) {
        problem(set, kCountOffset,
                "the set claims " + number(levels) + " levels but only " + number(found) +
                    " records follow");
        return true;
    }

    bool shortGroup(std::size_t group, std::size_t sets, std::size_t found) {
        problem(group, kCountOffset,
                "the group claims " + number(sets) + " sets but only " + number(found) +
                    " records follow");
        return true;
    }

private:
    void problem(std::size_t offset, const std::string& what) {
        problems_.push_back("offset " + number(offset) + ": " + what);
    }

    void problem(std::size_t record, std::size_t offset, const std::string& what) {
        problems_.push_back("record " + number(record) + ", offset " +
                            number(recordOffset(record) + offset) + ": " + what);
    }

    void expectIndex(std::size_t r, const ByteCursor& record) {
        std::size_t index = record.le16(kRecordIndexOffset);
        if (index != (r & 0xFFFF))
            problem(r, kRecordIndexOffset,
                    "record index is " + number(index) + ", not " + number(r));
    }

    // The kind byte and the fixed bytes behind it, or the fixed bytes at `from`.
    template <std::size_t N>
    void expectFixed(std::size_t r, const ByteCursor& record,
                     const std::array<unsigned char, N>& fixed, const char* kind,
                     std::size_t from = kFixedOffset) {
        for (std::size_t i = 0; i < N; ++i) {
            unsigned byte = record.byte(from + i);
            if (byte != fixed[i]) {
                std::string what =
                    i == 0 && from == kKindOffset ? "kind byte of a " : "fixed byte of a ";
                problem(r, from + i,
                        what + kind + " record is " + hex(byte) + ", not " + hex(fixed[i]));
            }
        }
    }

    // A text field: once a zero byte ends the text, the rest of the field must be zero too.
    void expectPadding(std::size_t r, const ByteCursor& record, std::size_t from, std::size_t width,
                       const char* field) {
        auto bytes = record.field(from, width);
        auto zero = std::ranges::find(bytes, 0);
        auto stray = std::find_if(zero, bytes.end(), [](unsigned char b) { return b != 0; });
        if (stray != bytes.end()) {
            std::string what = "byte behind the ";
            problem(r, from + static_cast<std::size_t>(stray - bytes.begin()),
                    what + field + " text is " + hex(*stray) + ", not 00");
        }
    }

    void expectZeros(std::size_t r, const ByteCursor& record, std::size_t from, std::size_t width) {
        auto bytes = record.field(from, width);
        auto stray = std::ranges::find_if(bytes, [](unsigned char b) { return b != 0; });
        if (stray != bytes.end())
            problem(r, from + static_cast<std::size_t>(stray - bytes.begin()),
                    "zero byte is " + hex(*stray) + ", not 00");
    }

    ByteCursor file_;
    std::vector<std::string> problems_;
};

} // namespace

std::vector<std::string> checkDatabaseFile(std::span<const unsigned char> bytes) {
    return Checker(bytes).run();
}

} // namespace quillfen
