#include "database/database_reader.h"

#include "database/byte_cursor.h"
#include "database/database_format.h"
#include "database/record_walk.h"

#include <cstdint>
#include <cstring>
#include <optional>

namespace quillfen {
namespace {

using namespace format;

// The refusal of a damaged file, at the offset the detail names (and in the record read there).
Error corrupt(const std::string& detail, std::size_t offset,
              std::optional<std::size_t> record = std::nullopt) {
    return Error{std::string(kCorruptProfile) + "\n" + detail, offset, record};
}

std::string at(std::size_t record) {
    return "record " + std::to_string(record) + " (offset " + std::to_string(recordOffset(record)) +
           ")";
}

// The number of records the header claims, refused when the bytes cannot hold them.
Result<std::size_t> readHeader(const ByteCursor& file) {
    if (file.size() > kMaxFileSize)
        return corrupt("the file is " + std::to_string(file.size()) +
                           " bytes long; a profile holds at most " + std::to_string(kMaxFileSize),
                       kMaxFileSize);
    if (file.size() < kHeaderSize)
        return corrupt("the file is " + std::to_string(file.size()) +
                           " bytes long, too short for its 8-byte header",
                       file.size());
    unsigned count = file.le16(kRecordCountOffset);
    if (count >= kNegativeRecordCount)
        return corrupt("the file claims a negative number of records (" +
                           std::to_string(static_cast<std::int16_t>(count)) + ")",
                       kRecordCountOffset);
    std::size_t held = (file.size() - kHeaderSize) / kRecordSize;
    if (count > held)
        return corrupt("the file claims " + std::to_string(count) + " records but holds " +
                           std::to_string(held),
                       kRecordCountOffset);
    return std::size_t{count};
}

NodeContent readGroupRecord(const ByteCursor& in, std::uint32_t number) {
    return {NodeKind::Group, number, in.text(kNameOffset, kGroupNameWidth),
            in.text(kFolderOffset, kFolderWidth)};
}

NodeContent readSetRecord(const ByteCursor& in, std::uint32_t number) {
    return {NodeKind::Set, number, in.text(kNameOffset, kSetNameWidth), {}};
}

// The level file name lies in a 34-byte field and again in a 38-byte one; a name of 34 to 38
// characters fills the first without a zero and only the second holds it whole.
NodeContent readLevelRecord(const ByteCursor& in, std::uint32_t number) {
    std::string_view file = in.text(kLevelFileOffset, kLevelFileWidth);
    auto wide = in.field(kLevelFileWideOffset, kLevelFileWidth);
    if (file.size() == kLevelFileWidth && wide.size() == kLevelFileWidth &&
        std::memcmp(file.data(), wide.data(), kLevelFileWidth) == 0)
        file = in.text(kLevelFileWideOffset, kLevelFileWideWidth);
    return {NodeKind::Level, number, in.text(kNameOffset, kLevelNameWidth), file};
}

// Makes the tree as the walk goes through the records, and stops at the first count that would
// make it read what is not there.
class TreeBuilder {
public:
    TreeBuilder(ParsedDatabase& out, std::size_t records, const Progress& progress)
        : out_(out), records_(records), progress_(progress) {}

    const Error& error() const { return error_; }

    bool group(std::size_t record, const ByteCursor& in, std::size_t sets) {
        if (sets > kMaxSetsInGroup)
            return fail(record, "the group at " + at(record) + " claims " + std::to_string(sets) +
                                    " sets; a group holds at most 255");
        report(record);
        group_ = out_.tree.addLoaded(nullptr, readGroupRecord(in, ++out_.groupCount));
        return true;
    }

    bool set(std::size_t record, const ByteCursor& in, std::size_t levels) {
        std::size_t left = records_ - record - 1;
        if (levels > left)
            return fail(record, "the records end inside the set at " + at(record) + ": it claims " +
                                    std::to_string(levels) + " levels, " + std::to_string(left) +
                                    " follow");
        report(record);
        set_ = out_.tree.addLoaded(group_, readSetRecord(in, ++out_.setCount));
        return true;
    }

    bool level(std::size_t record, const ByteCursor& in) {
        report(record);
        ++out_.levelCount;
        out_.tree.addLoaded(set_, readLevelRecord(in, static_cast<std::uint32_t>(out_.levelCount)));
        return true;
    }

    // set() has already refused a set whose levels run past the last record.
    bool shortSet(std::size_t, std::size_t, std::size_t) { return false; }

    bool shortGroup(std::size_t record, std::size_t sets, std::size_t found) {
        return fail(record, "the records end inside the group at " + at(record) + ": it claims " +
                                std::to_string(sets) + " sets, " + std::to_string(found) +
                                " follow");
    }

private:
    bool fail(std::size_t record, const std::string& detail) {
        error_ = corrupt(detail, recordOffset(record), record);
        return false;
    }

    // One step a record; whoever draws them thins them out (thinned).
    void report(std::size_t record) const {
        if (progress_)
            progress_(static_cast<double>(record), static_cast<double>(records_));
    }

    ParsedDatabase& out_;
    std::size_t records_;
    const Progress& progress_;
    const LevelTree::Node* group_ = nullptr;
    const LevelTree::Node* set_ = nullptr;
    Error error_;
};

} // namespace

Result<ParsedDatabase> ParseDatabaseFile(std::span<const unsigned char> bytes,
                                         const Progress& progress) {
    ByteCursor in(bytes);
    auto header = readHeader(in);
    if (!header)
        return header.failure();
    std::size_t records = *header;

    // The counts are checked as the records are read; a refusal drops the part already made.
    ParsedDatabase out;
    out.tree.reserve(static_cast<int>(records));
    TreeBuilder build(out, records, progress);
    if (!walkRecords(in, records, build))
        return build.error();
    if (auto end = in.pastEnd())
        return corrupt("the file ends inside the bytes read at offset " + std::to_string(*end),
                       *end);
    if (progress)
        progress(0, static_cast<double>(records));
    out.tree.select(out.tree.item(1));
    return out;
}

} // namespace quillfen
