#include "levelfile/level_pack.h"
#include "levelfile/make_level_file.h"
#include "levelfile/make_pack.h"
#include "temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace quillfen::levelfile {
namespace {

using testing::compressLevel;
using testing::makePack;
using testing::packLevel;
using testing::PackStream;
using testing::readBytes;
using testing::TempDir;
using testing::writeBytes;

using Bytes = std::vector<unsigned char>;
using Levels = std::vector<Bytes>;

Bytes joined(const std::vector<Bytes>& parts) {
    Bytes out;
    for (const Bytes& part : parts)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

// A level of raw bytes only: seven runs of 264 and one of 200, whose codes and bytes come to a
// whole number of bytes, so that its section can end in bit count 8 or in an empty byte.
PackStream rawStream(const Bytes& level, std::size_t bytes = kLevelFileSize) {
    PackStream stream;
    for (std::size_t done = 0; done < bytes;) {
        std::size_t run = std::min<std::size_t>(264, bytes - done);
        Bytes piece(level.rbegin() + static_cast<std::ptrdiff_t>(done),
                    level.rbegin() + static_cast<std::ptrdiff_t>(done + run));
        stream.raw(piece);
        done += run;
    }
    return stream;
}

TEST(UnpackLevelPack, RefusesThePackForAnyDamagedSection) {
    Bytes first = compressLevel(packLevel(1, 50, "One")).section();
    Bytes second = compressLevel(packLevel(2, 60, "Two")).section();
    Bytes good = joined({first, second});
    const std::string at = "section 01 (at byte " + std::to_string(first.size()) + "): ";
    const std::string after = "section 02 (at byte " + std::to_string(good.size()) + "): ";
    auto damaged = [&](std::size_t offset, unsigned char value) {
        Bytes pack = good;
        pack[first.size() + offset] = value;
        return pack;
    };
    auto withPackedSize = [&](std::size_t size) {
        Bytes pack = damaged(8, static_cast<unsigned char>(size >> 8));
        pack[first.size() + 9] = static_cast<unsigned char>(size);
        return pack;
    };
    auto hex = [](unsigned value) {
        const char* digits = "0123456789ABCDEF";
        return std::string("0x") + digits[value >> 4] + digits[value & 15];
    };
    Bytes level = packLevel(5, 10, "Raw");
    PackStream shortStream = rawStream(level, kLevelFileSize - 8);
    PackStream longStream = rawStream(level);
    longStream.bits(0, 3);
    PackStream overfull = rawStream(level);
    overfull.raw(Bytes{9});
    PackStream farCopy;
    farCopy.copy(2, 0);
    std::size_t packed = second.size();

    using Case = std::pair<Bytes, std::string>;
    for (const auto& [pack, message] : std::vector<Case>{
             {joined({good, Bytes(5)}),
              after + "only 5 byte(s) are left, too few for a 10-byte section header"},
             {joined({good, Bytes(16)}),
              after +
                  "its packed size 0 does not fit the header and the 16 bytes left in the file"},
             {withPackedSize(packed + 1), at + "its packed size " + std::to_string(packed + 1) +
                                              " does not fit the header and the " +
                                              std::to_string(packed) + " bytes left in the file"},
             {damaged(0, 9), at + "its bit count is 9, more than 8"},
             {damaged(1, static_cast<unsigned char>(second[1] ^ 0x21)),
              at + "its checksum is " + hex(second[1] ^ 0x21) + " but its bytes give " +
                  hex(second[1])},
             {damaged(5, 0xFF), at + "its unpacked size is 2303, not 2048"},
             {joined({first, shortStream.section()}),
              at + "its compressed stream ends before the level is complete"},
             {joined({first, longStream.section()}),
              at + "its compressed stream goes on after the level is complete"},
             {joined({first, overfull.section()}),
              at + "its compressed stream goes on after the level is complete"},
             {joined({first, farCopy.section()}),
              at + "its compressed stream copies from beyond the end of the level"},
         }) {
        auto unpacked = unpackLevelPack(pack);
        ASSERT_FALSE(unpacked.ok()) << message;
        EXPECT_EQ(unpacked.error(), message);
    }
}

TEST(UnpackSections, SectionsOfAnySizeUnpackAndASizeTheirBytesCannotGiveIsRefused) {
    Bytes big(70000); // past what a 16-bit size could say
    for (std::size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<unsigned char>(i % 251 < 7 ? i * 13 : 0);
    Levels sections = {Bytes{42}, big, packLevel(1, 50, "Level")};
    auto unpacked = unpackSections(makePack(sections), "section");
    ASSERT_TRUE(unpacked.ok()) << unpacked.error();
    EXPECT_EQ(*unpacked, sections);

    Bytes tooBig = compressLevel(Bytes{1, 2, 3}).section(false, 0x7FFFFFFF);
    auto refused = unpackSections(tooBig, "section");
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error(), "section 00 (at byte 0): its unpacked size 2147483647 is more than "
                               "its 4 compressed bytes can give");
}

TEST(UnpackLevelPack, GivesBackItsLevelsInOrderAndRefusesACutAnywhereButBetweenSections) {
    Levels levels = {packLevel(1, 50, "One"), packLevel(2, 60, "Two")};
    for (int code = 0; code < testing::kPackCodes; ++code) // so that every code is read
        EXPECT_GT(compressLevel(levels[0]).used()[code], 0) << code;
    Bytes good = makePack(levels);
    auto whole = unpackLevelPack(good);
    ASSERT_TRUE(whole.ok()) << whole.error();
    EXPECT_EQ(*whole, levels);
    const std::size_t first = compressLevel(levels[0]).section().size();
    for (std::size_t size = 0; size < good.size(); ++size) {
        auto unpacked = unpackLevelPack(std::span(good).first(size));
        EXPECT_EQ(unpacked.ok(), size == first) << size;
    }
    // A section's last byte holds 8 bits, or none.
    PackStream raw = rawStream(levels[0]);
    ASSERT_EQ(raw.size() % 8, 0u);
    for (bool emptyLast : {false, true}) {
        Bytes section = raw.section(emptyLast);
        EXPECT_EQ(section[0], emptyLast ? 0 : 8);
        auto read = unpackLevelPack(section);
        ASSERT_TRUE(read.ok()) << read.error();
        EXPECT_EQ(*read, Levels{levels[0]});
    }
}

class ImportPlanTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string folder = dir.file("levels");
    // Graphics set 2; special graphics (skipped); too many lemmings (a problem, still imported).
    Levels levels = {packLevel(1, 50, "  Just dig!"), packLevel(2, 60, "Picture"),
                     packLevel(3, 120, "Crowd")};

    void SetUp() override {
        std::filesystem::create_directory(folder);
        levels[0][kGraphicsSetOffset + 1] = 2;
        levels[1][kSpecialGraphicsOffset + 1] = 1;
    }

    std::string pack(const std::string& name) {
        writeBytes(dir.file(name), makePack(levels));
        return dir.file(name);
    }

    std::vector<std::string> folderFiles() {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(ImportPlanTest, WritesEachLevelSkipsSpecialGraphicsAndRenumbersTheSequelsSets) {
    auto plan = planImport(pack("DLVEL001.DAT"), false, folder);
    ASSERT_TRUE(plan.ok()) << plan.error();
    EXPECT_TRUE(folderFiles().empty()); // planning writes nothing
    EXPECT_EQ(plan->setName, "DLVEL001");
    EXPECT_EQ(importReport(*plan),
              "DLVEL001.DAT: 2 level(s) to import into " + folder +
                  ", 1 part(s) of the pack left out\n"
                  "\"Just dig!\" goes into DLVEL001_00.LVL\n"
                  "\"Crowd\" goes into DLVEL001_02.LVL\n"
                  "  120 lemmings, more than the game's 114\n"
                  "part 01 left out: special graphics 1: the Windows game draws no terrain for "
                  "it");
    ASSERT_TRUE(writeImport(*plan).ok());
    EXPECT_EQ(folderFiles(), (std::vector<std::string>{"DLVEL001_00.LVL", "DLVEL001_02.LVL"}));
    // Every level of the sequel's pack: sets 2 and 0 become 7 and 5.
    for (auto [name, level, set] : {std::tuple{"DLVEL001_00.LVL", levels[0], 7},
                                    std::tuple{"DLVEL001_02.LVL", levels[2], 5}}) {
        level[kGraphicsSetOffset + 1] = static_cast<unsigned char>(set);
        EXPECT_EQ(readBytes(dir.file("levels/") + name), level) << name;
    }
}

TEST_F(ImportPlanTest, KeepsAFileWithTheSameBytesAndRefusesOneWithOtherBytesBeforeWriting) {
    levels[1][kSpecialGraphicsOffset + 1] = 0;
    std::string path = pack("LEVEL002.DAT");
    writeBytes(dir.file("levels/LEVEL002_00.LVL"), levels[0]);
    Bytes other = testing::makeLevelFile({}, "Someone else's");
    writeBytes(dir.file("levels/LEVEL002_02.LVL"), other);
    auto plan = planImport(path, false, folder);
    ASSERT_TRUE(plan.ok()) << plan.error();
    EXPECT_TRUE(plan->levels[0].reused);
    EXPECT_EQ(plan->conflicts, std::vector<std::string>{"LEVEL002_02.LVL"});
    const std::string refusal = "ERROR: LEVEL002_02.LVL is already in the folder and holds "
                                "another level; nothing was written";
    EXPECT_NE(importReport(*plan).find("is there already as LEVEL002_00.LVL"), std::string::npos);
    EXPECT_NE(importReport(*plan).find("goes into LEVEL002_02.LVL, whose level is kept as"),
              std::string::npos);
    EXPECT_EQ(writeImport(*plan).error(), refusal);
    EXPECT_EQ(folderFiles(), (std::vector<std::string>{"LEVEL002_00.LVL", "LEVEL002_02.LVL"}));
    EXPECT_EQ(readBytes(dir.file("levels/LEVEL002_02.LVL")), other);

    // A file that appears after the plan was made stops the import just the same; what Replace
    // does is the Editor's test's.
    std::filesystem::remove(dir.file("levels/LEVEL002_02.LVL"));
    plan = planImport(path, false, folder);
    ASSERT_TRUE(plan.ok() && plan->conflicts.empty());
    writeBytes(dir.file("levels/LEVEL002_02.LVL"), other);
    EXPECT_EQ(writeImport(*plan).error(), refusal);
    EXPECT_FALSE(std::filesystem::exists(dir.file("levels/LEVEL002_01.LVL")));
    // Nor does Replace write through a link that appeared meanwhile, into another folder.
    std::filesystem::remove(dir.file("levels/LEVEL002_02.LVL"));
    std::filesystem::create_symlink("../LINKED.LVL", dir.file("levels/LEVEL002_02.LVL"));
    EXPECT_EQ(writeImport(*plan, OnConflict::Replace).error(),
              "ERROR: " + dir.file("levels/LEVEL002_02.LVL") +
                  " is a symbolic link, which an import never writes through; nothing was written");
    EXPECT_FALSE(std::filesystem::exists(dir.file("LINKED.LVL")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("levels/LEVEL002_01.LVL")));
}

TEST_F(ImportPlanTest, ADamagedPackAMissingFolderOrALongNameIsRefused) {
    writeBytes(dir.file("LEVEL003.DAT"), Bytes{});
    EXPECT_EQ(planImport(dir.file("LEVEL003.DAT"), false, folder).error(),
              "ERROR: cannot import LEVEL003.DAT: the file is empty; nothing was written");
    EXPECT_EQ(planImport(pack("LEVEL004.DAT"), false, dir.file("gone")).error(),
              "ERROR: cannot import LEVEL004.DAT: the folder " + dir.file("gone") +
                  " is not there");
    EXPECT_EQ(planImport(pack("A PACK WITH A VERY LONG NAME.DAT"), false, folder).error(),
              "ERROR: cannot import A PACK WITH A VERY LONG NAME.DAT: the file name A PACK WITH A "
              "VERY LONG NAME_00.LVL is longer than 34 characters, more than a profile keeps");
    EXPECT_TRUE(folderFiles().empty());
}

} // namespace
} // namespace quillfen::levelfile
