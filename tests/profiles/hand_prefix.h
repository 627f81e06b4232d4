#pragma once

#include "database/database_writer.h"
#include "temp_dir.h"

#include <filesystem>
#include <fstream>
#include <string>

namespace quillfen::testing {

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
        out << "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n\n#arch="
            << arch << "\n\n"
            << keys;
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
        tree.setLevelFiles(level->index(), "l" + std::to_string(l) + ".lvl");
    }
    return tree;
}

// One profile key of the game's 32-bit view, as wineserver writes it; `databaseName` as in the
// file (backslashes doubled).
inline std::string profileKey(const std::string& name, const std::string& databaseName) {
    return "[Software\\\\Wow6432Node\\\\Visual Sciences\\\\Windows Lemmings\\\\Users\\\\" + name +
           "] 1796565633\n#time=1dd85b4a3e2c7f0\n\"DatabaseName\"=\"" + databaseName + "\"\n\n";
}

} // namespace quillfen::testing
