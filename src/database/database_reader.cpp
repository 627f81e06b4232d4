#include "database/database_reader.h"

#include "database/codec.h"
#include "database/database_format.h"

#include <algorithm>
#include <cstring>

namespace quillfen {
namespace {

using namespace format;

Error corrupt(const std::string& detail) {
    return Error{std::string(kCorruptProfile) + "\n" + detail};
}

std::string at(std::size_t record) {
    return "record " + std::to_string(record) + " (offset " + std::to_string(recordOffset(record)) +
           ")";
}

// Bounds-checked reads over the file; every read lies inside a record that the record count
// check has already found inside the file.
class Cursor {
public:
    explicit Cursor(std::span<const unsigned char> bytes) : bytes_(bytes) {}
    int word(std::size_t offset) const {
        if (offset + 1 >= bytes_.size())
            return 0;
        return bytes_[offset] | (bytes_[offset + 1] << 8);
    }
    std::string text(std::size_t offset, std::size_t width) const {
        return ReadString(bytes_, offset, width);
    }
    // The level file name lies in a 34-byte field and again in a 38-byte one; a name of 34 to 38
    // characters fills the first without a zero and only the second holds it whole.
    std::string levelFile(std::size_t record) const {
        std::size_t narrow = record + kLevelFileOffset;
        std::size_t wide = record + kLevelFileWideOffset;
        auto first = bytes_.subspan(narrow, kLevelFileWidth);
        bool narrowEnds = std::find(first.begin(), first.end(), 0) != first.end();
        if (!narrowEnds && std::equal(first.begin(), first.end(), bytes_.begin() + wide))
            return text(wide, kLevelFileWideWidth);
        return text(narrow, kLevelFileWidth);
    }

private:
    std::span<const unsigned char> bytes_;
};

// Steps of the progress report: about a hundred, whatever the number of records.
void report(const Progress& progress, std::size_t i, std::size_t n) {
    if (progress && (n < 100 || i % (n / 100) == 0))
        progress(static_cast<double>(i), static_cast<double>(n));
}

// Walks the counts alone and says what is wrong, before a single node is made.
Status checkWalk(const Cursor& in, std::size_t records) {
    std::size_t i = 0;
    while (i < records) {
        std::size_t group = i++;
        int sets = in.word(recordOffset(group) + kCountOffset);
        if (sets > kMaxSetsInGroup)
            return corrupt("the group at " + at(group) + " claims " + std::to_string(sets) +
                           " sets; a group holds at most 255");
        for (int s = 0; s < sets; ++s) {
            if (i >= records)
                return corrupt("the records end inside the group at " + at(group) + ": it claims " +
                               std::to_string(sets) + " sets, " + std::to_string(s) + " follow");
            std::size_t set = i++;
            int levels = in.word(recordOffset(set) + kCountOffset);
            if (static_cast<std::size_t>(levels) > records - i)
                return corrupt("the records end inside the set at " + at(set) + ": it claims " +
                               std::to_string(levels) + " levels, " + std::to_string(records - i) +
                               " follow");
            i += static_cast<std::size_t>(levels);
        }
    }
    return success();
}

} // namespace

Result<ParsedDatabase> parseDatabase(std::span<const unsigned char> bytes,
                                     const Progress& progress) {
    if (bytes.size() > kMaxFileSize)
        return corrupt("the file is " + std::to_string(bytes.size()) +
                       " bytes long; a profile holds at most " + std::to_string(kMaxFileSize));
    if (bytes.size() < kHeaderSize)
        return corrupt("the file is " + std::to_string(bytes.size()) +
                       " bytes long, too short for its 8-byte header");
    Cursor in(bytes);
    int count = in.word(kRecordCountOffset);
    if (count >= 0x8000)
        return corrupt("the file claims a negative number of records (" +
                       std::to_string(count - 0x10000) + ")");
    auto records = static_cast<std::size_t>(count);
    std::size_t held = (bytes.size() - kHeaderSize) / kRecordSize;
    if (records > held)
        return corrupt("the file claims " + std::to_string(records) + " records but holds " +
                       std::to_string(held));
    if (auto walk = checkWalk(in, records); !walk)
        return Error{walk.error()};

    ParsedDatabase out;
    LevelTree& tree = out.tree;
    tree.reserve(static_cast<int>(records));
    const LevelTree::Node* group = nullptr;
    const LevelTree::Node* set = nullptr;
    std::size_t i = 0;
    while (i < records) {
        report(progress, i, records);
        std::size_t at = recordOffset(i++);
        ++out.groupCount;
        group = tree.add(nullptr, LevelTree::Relationship::Last,
                         "root" + std::to_string(out.groupCount),
                         in.text(at + kNameOffset, kGroupNameWidth));
        tree.setGroupFolders(group->index(), in.text(at + kFolderOffset, kFolderWidth));
        int sets = in.word(at + kCountOffset);
        for (int s = 0; s < sets; ++s) {
            report(progress, i, records);
            std::size_t setAt = recordOffset(i++);
            ++out.setCount;
            set = tree.add(group, LevelTree::Relationship::Child,
                           "parent" + std::to_string(out.setCount),
                           in.text(setAt + kNameOffset, kSetNameWidth));
            int levels = in.word(setAt + kCountOffset);
            for (int l = 0; l < levels; ++l) {
                report(progress, i, records);
                std::size_t levelAt = recordOffset(i++);
                ++out.levelCount;
                const LevelTree::Node* level = tree.add(
                    set, LevelTree::Relationship::Child, "level" + std::to_string(out.levelCount),
                    in.text(levelAt + kNameOffset, kLevelNameWidth));
                tree.setLevelFiles(level->index(), in.levelFile(levelAt));
            }
        }
    }
    if (progress)
        progress(0, static_cast<double>(records));
    tree.select(tree.item(1));
    return out;
}

namespace {

void adopt(EditorState& state, ParsedDatabase&& parsed) {
    state.groupCount = parsed.groupCount;
    state.setCount = parsed.setCount;
    state.levelCount = parsed.levelCount;
    state.tree = std::move(parsed.tree);
}

} // namespace

Status ParseDatabaseFile(EditorState& state, const Progress& progress) {
    auto parsed = parseDatabase(std::span(state.dbBytes).first(state.dbLength), progress);
    if (!parsed)
        return Error{parsed.error()};
    adopt(state, std::move(*parsed));
    return success();
}

Status loadDatabaseImage(EditorState& state, std::span<const unsigned char> file,
                         const Progress& progress) {
    if (file.size() < kMinFileSize)
        return Error{kCorruptProfile};
    auto parsed = parseDatabase(file, progress);
    if (!parsed)
        return Error{parsed.error()};
    std::copy(file.begin(), file.end(), state.dbBytes.begin());
    // The load's last pass addresses the slot at the file's length and finds no byte there.
    state.dbBytes[file.size()] = 0;
    state.dbLength = file.size();
    adopt(state, std::move(*parsed));
    return success();
}

} // namespace quillfen
