#include "database/database_writer.h"

#include "database/codec.h"
#include "database/database_format.h"

#include <algorithm>

namespace quillfen {
namespace {

using namespace format;

template <std::size_t N>
void writeBytes(std::vector<unsigned char>& f, std::int32_t& pos,
                const std::array<unsigned char, N>& bytes) {
    std::ranges::copy(bytes, nextBytes(f, pos, N).begin());
}

void writeZeros(std::vector<unsigned char>& f, std::int32_t& pos, std::size_t n) {
    std::ranges::fill(nextBytes(f, pos, n), 0);
}

void writeWord(std::vector<unsigned char>& f, std::int32_t& pos, int w) {
    auto field = nextBytes(f, pos, 2);
    field[0] = LoByte(w);
    field[1] = HiByte(w);
}

} // namespace

void WriteRootHeader(std::vector<unsigned char>& f, std::int32_t& pos, const LevelTree& tree,
                     const LevelTree::Node& n) {
    writeBytes(f, pos, kGroupFixed);
    WriteStringToFile(n.text(), f, pos, kGroupNameWidth);
    WriteStringToFile(tree.groupFolders(n.index()), f, pos, kFolderWidth);
    // One byte only: the commands keep a group at 255 sets at most.
    writebyte(f, pos, static_cast<unsigned char>(n.children()));
    writeZeros(f, pos, kGroupZerosWidth);
}

void WriteSetHeader(std::vector<unsigned char>& f, std::int32_t& pos, const LevelTree& /*tree*/,
                    const LevelTree::Node& n) {
    writeBytes(f, pos, kSetFixed);
    WriteStringToFile(n.text(), f, pos, kSetNameWidth);
    writeWord(f, pos, n.children());
    writeZeros(f, pos, kSetZerosWidth);
}

void WriteLevelHeader(std::vector<unsigned char>& f, std::int32_t& pos, const LevelTree& tree,
                      const LevelTree::Node& n) {
    writeBytes(f, pos, kLevelFixed);
    WriteStringToFile(n.text(), f, pos, kLevelNameWidth);
    std::string_view file = tree.levelFiles(n.index());
    WriteStringToFile(file, f, pos, kLevelFileWidth);
    WriteStringToFile(file, f, pos, kLevelFileWideWidth);
    writeBytes(f, pos, kLevelTrailer);
}

void WriteDatabaseFile(std::vector<unsigned char>& f, const LevelTree& tree,
                       const Progress& progress) {
    // Sized for the whole file at once, so that no field makes the buffer grow.
    f.resize(std::max(f.size(), fileSize(static_cast<std::size_t>(tree.count()))));
    std::int32_t pos = 1;
    int r = 0;
    const double total = tree.count();
    auto beginRecord = [&] {
        writeWord(f, pos, r);
        ++r;
        if (progress)
            progress(r, total);
    };

    writeZeros(f, pos, 4);
    writeWord(f, pos, tree.count());
    writeZeros(f, pos, 2);
    const LevelTree::Node* first = tree.empty() ? nullptr : tree.topLevel().front();
    for (const LevelTree::Node* group = first; !IsNothing(group); group = group->nextSibling()) {
        beginRecord();
        WriteRootHeader(f, pos, tree, *group);
        const LevelTree::Node* set = group->firstChild();
        for (int s = 0; s < group->children(); ++s, set = set->nextSibling()) {
            beginRecord();
            WriteSetHeader(f, pos, tree, *set);
            const LevelTree::Node* level = set->firstChild();
            for (int l = 0; l < set->children(); ++l, level = level->nextSibling()) {
                beginRecord();
                WriteLevelHeader(f, pos, tree, *level);
            }
        }
    }
}

std::vector<unsigned char> encodeDatabase(const LevelTree& tree, const Progress& progress) {
    std::vector<unsigned char> f;
    WriteDatabaseFile(f, tree, progress);
    return f;
}

} // namespace quillfen
