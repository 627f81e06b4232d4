#include "database/database_writer.h"

#include "database/byte_cursor.h"
#include "database/database_format.h"

namespace quillfen {
namespace {

using namespace format;

void writeHeader(const ByteWriter& file, std::size_t records) {
    file.le16(kRecordCountOffset, static_cast<unsigned>(records));
}

void writeGroupRecord(const ByteWriter& out, const LevelTree& tree, const LevelTree::Node& group) {
    out.field(kFixedOffset, kGroupFixed);
    out.text(kNameOffset, kGroupNameWidth, group.text());
    out.text(kFolderOffset, kFolderWidth, tree.groupFolders(group.index()));
    // One byte only: the commands keep a group at 255 sets at most.
    out.byte(kCountOffset, static_cast<unsigned>(group.children()));
}

void writeSetRecord(const ByteWriter& out, const LevelTree::Node& set) {
    out.field(kFixedOffset, kSetFixed);
    out.text(kNameOffset, kSetNameWidth, set.text());
    out.le16(kCountOffset, static_cast<unsigned>(set.children()));
}

// The level file name goes into both of its fields; a name of 35 to 38 characters fits only the
// second whole.
void writeLevelRecord(const ByteWriter& out, const LevelTree& tree, const LevelTree::Node& level) {
    out.field(kFixedOffset, kLevelFixed);
    out.text(kNameOffset, kLevelNameWidth, level.text());
    std::string_view file = tree.levelFiles(level.index());
    out.text(kLevelFileOffset, kLevelFileWidth, file);
    out.text(kLevelFileWideOffset, kLevelFileWideWidth, file);
    out.field(kLevelTrailerOffset, kLevelTrailer);
}

} // namespace

void WriteDatabaseFile(std::vector<unsigned char>& file, const LevelTree& tree,
                       const Progress& progress) {
    const auto records = static_cast<std::size_t>(tree.count());
    // Every byte that no field names stays zero: the header around the count, the bytes behind
    // the counts.
    file.assign(fileSize(records), 0);
    ByteWriter out(file);
    writeHeader(out, records);
    std::size_t r = 0;
    auto beginRecord = [&] {
        ByteWriter record = out.at(recordOffset(r));
        record.le16(kRecordIndexOffset, static_cast<unsigned>(r));
        ++r;
        if (progress)
            progress(static_cast<double>(r), static_cast<double>(records));
        return record;
    };
    for (const LevelTree::Node* group : tree.topLevel()) {
        writeGroupRecord(beginRecord(), tree, *group);
        for (const LevelTree::Node* set = group->firstChild(); set; set = set->nextSibling()) {
            writeSetRecord(beginRecord(), *set);
            for (const LevelTree::Node* level = set->firstChild(); level;
                 level = level->nextSibling())
                writeLevelRecord(beginRecord(), tree, *level);
        }
    }
}

std::vector<unsigned char> encodeDatabase(const LevelTree& tree, const Progress& progress) {
    std::vector<unsigned char> file;
    WriteDatabaseFile(file, tree, progress);
    return file;
}

} // namespace quillfen
