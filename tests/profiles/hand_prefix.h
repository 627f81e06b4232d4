#pragma once

#include "database/database_writer.h"
#include "profiles/profile_load_save.h"
#include "temp_dir.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>

namespace quillfen::testing {

// A system.reg as wineserver writes it: Wine's header, then `keys` (key lines and values, as in
// the file).
inline std::string wineRegistryText(const std::string& keys, const std::string& arch = "win64") {
    return "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n\n#arch=" + arch +
           "\n\n" + keys;
}

// A Wine-style prefix written by hand in a temporary folder: dosdevices/c: -> ../drive_c, and a
// system.reg given as the text wineserver would write below its header.
class HandPrefix {
public:
    HandPrefix() {
        std::filesystem::create_directories(dir_.path() / "drive_c");
        std::filesystem::create_directories(dir_.path() / "dosdevices");
        std::filesystem::create_directory_symlink("../drive_c", dir_.path() / "dosdevices" / "c:");
    }

    std::string path() const { return dir_.path().string(); }

    // Writes system.reg: Wine's header, then `keys` (key lines and values, as in the file).
    void writeRegistry(const std::string& keys, const std::string& arch = "win64") const {
        std::ofstream out(dir_.file("system.reg"), std::ios::binary | std::ios::trunc);
        out << wineRegistryText(keys, arch);
    }

    // The host path of a file below drive_c, its folders made.
    std::string onDriveC(const std::string& relative) const {
        auto path = dir_.path() / "drive_c" / relative;
        std::filesystem::create_directories(path.parent_path());
        return path.string();
    }

    // Writes a tree's UserDatabase below drive_c and gives its bytes.
    std::vector<unsigned char> writeDatabase(const std::string& relative,
                                             const LevelTree& tree) const {
        auto bytes = encodeDatabase(tree);
        writeBytes(onDriveC(relative), bytes);
        return bytes;
    }

private:
    TempDir dir_;
};

// A small tree: one group named `name` with `levels` levels in one set.
inline LevelTree sampleTree(const std::string& name, int levels = 2) {
    using R = LevelTree::Relationship;
    LevelTree tree;
    auto* group = tree.add(nullptr, R::Last, "root1", name);
    tree.setGroupFolders(group->index(), "CUST");
    auto* set = tree.add(group, R::Child, "parent1", "CUSTOM SET");
    for (int l = 1; l <= levels; ++l) {
        auto* level =
            tree.add(set, R::Child, "level" + std::to_string(l), "Level " + std::to_string(l));
        // Appended piece by piece: GCC 12 at -O3 takes "l" + std::string for overlapping copies.
        tree.setLevelFiles(level->index(), std::string("l").append(std::to_string(l)) + ".lvl");
    }
    return tree;
}

using Names = std::vector<std::string>;

// A key below the game's Users key in the 32-bit view, holding `values` as the file has them.
inline std::string usersKey(const std::string& name, const std::string& values) {
    return "[Software\\\\Wow6432Node\\\\Visual Sciences\\\\Windows Lemmings\\\\Users\\\\" + name +
           "] 1796565633\n" + values + "\n\n";
}

// One profile key as wineserver writes it; `databaseName` as in the file (backslashes doubled).
inline std::string profileKey(const std::string& name, const std::string& databaseName) {
    return usersKey(name, "#time=1dd85b4a3e2c7f0\n\"DatabaseName\"=\"" + databaseName + "\"");
}

// A prefix with the profiles Alice, Bob and Gone (whose folder is missing) and Alice's and Bob's
// database files.
class ProfilePrefixTest : public ::testing::Test {
protected:
    ProfilePrefixTest() {
        prefix.writeRegistry(profileKey("Alice", R"(C:\\LEMM\\USERS\\ALICE.DAT)") +
                             profileKey("Bob", R"(C:\\LEMM\\USERS\\BOB.DAT)") +
                             profileKey("Gone", R"(C:\\LEMM\\GONE\\GONE.DAT)"));
        aliceBytes = prefix.writeDatabase("LEMM/USERS/ALICE.DAT", sampleTree("ALICE", 3));
        bobBytes = prefix.writeDatabase("LEMM/USERS/BOB.DAT", sampleTree("BOB", 5));
    }

    HandPrefix prefix;
    WinePrefixStore store{prefix.path()};
    std::vector<unsigned char> aliceBytes, bobBytes;
    std::string alice = prefix.onDriveC("LEMM/USERS/ALICE.DAT");
    std::string bob = prefix.onDriveC("LEMM/USERS/BOB.DAT");
};

} // namespace quillfen::testing
