#include "editing/profile_check.h"

#include "common/windows1252.h"
#include "common/windows_names.h"
#include "host/file_io.h"
#include "host/host_path.h"
#include "levelfile/level_file.h"
#include "preview/game_graphics.h"
#include "profiles/wine_paths.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>

namespace quillfen {
namespace {

std::string nodeName(const LevelTree::Node* node) {
    // Appended piece by piece: GCC 12 at -O3 takes "literal" + std::string for overlapping copies.
    std::string name = "'";
    return name.append(windows1252ToUtf8(escapedControls(node->text())))
        .append("' (")
        .append(node->key())
        .append(")");
}

class ProfileCheck {
public:
    ProfileCheck(const LevelTree& tree, const GameFolder& game, const ReadLevelBytes& read)
        : tree_(tree), game_(game), read_(read), sets_(preview::graphicsIn(game.hostPath)) {
        noGraphics_ = std::none_of(sets_.begin(), sets_.end(), [](auto& set) { return set; });
        if (noGraphics_)
            note({}, pathIn(game.hostPath, "STYLES"),
                 "the game's STYLES folder holds no graphics, so no level's graphics set was "
                 "checked");
    }

    std::vector<ProfileProblem> run() {
        for (const LevelTree::Node* group : tree_.topLevel())
            checkGroup(group);
        return std::move(problems_);
    }

private:
    void error(const std::string& key, const std::string& file, std::string problem) {
        problems_.push_back(
            {key, file, std::move(problem), ProblemSeverity::Error, windowsPath(file)});
    }
    void note(const std::string& key, const std::string& file, std::string problem,
              std::string sameFileAs = {}) {
        problems_.push_back({key, file, std::move(problem), ProblemSeverity::Note,
                             windowsPath(file), std::move(sameFileAs)});
    }
    // The host path as the game names it, its folder looked up once.
    std::string windowsPath(const std::string& file) {
        if (file.empty())
            return {};
        const std::string folder = folderOf(file);
        auto [known, added] = windowsFolders_.try_emplace(folder);
        if (added)
            known->second = windowsPathOf(folder, game_.winePrefix);
        return known->second + "\\" + fileNameOf(file);
    }

    void checkGroup(const LevelTree::Node* group) {
        std::string folderText(tree_.groupFolders(group->index()));
        std::string folder = groupFolderHostPath(game_, folderText);
        if (std::string refusal = windowsFolderRefusal(folderText); !refusal.empty())
            return error(group->key(), folder, windows1252ToUtf8(refusal));
        // A group without levels asks nothing of its folder.
        if (LevelTree::descendants(group) == group->children())
            return;
        if (!isFolder(folder))
            return error(group->key(), folder,
                         "the group's folder " + folder +
                             " is not there, so the game finds none "
                             "of its levels");
        for (int s = 0; s < group->children(); ++s)
            for (int l = 0; l < group->child(s)->children(); ++l)
                checkLevel(folder, group->child(s)->child(l));
    }

    void checkLevel(const std::string& folder, const LevelTree::Node* level) {
        std::string fileName(tree_.levelFiles(level->index()));
        std::string key = level->key();
        if (std::string refusal = windowsNameRefusal(fileName); !refusal.empty())
            return error(key, "", windows1252ToUtf8(refusal));
        // As levelFileHostPath finds it, with the group's folder found once for all its levels;
        // the name as it is spelled first, which is one look at the disk fewer for most files.
        std::string name = windows1252ToUtf8(fileName);
        std::string path = pathIn(folder, name);
        auto bytes = read_(path);
        if (!bytes && !pathExists(path)) {
            path = hostPathBelow(folder, name);
            bytes = read_(path);
        }
        if (auto [first, added] = byPath_.try_emplace(path, level); !added)
            return note(key, path, "the file is also that of level " + nodeName(first->second),
                        first->second->key());
        if (!bytes)
            return error(key, path,
                         pathExists(path) ? "cannot read " + path + ": " + bytes.error()
                                          : "the file " + path + " is not there");
        auto info = levelfile::readLevelBytes(*bytes);
        if (!info)
            return error(key, path, path + " is not a Windows level file: " + info.error());
        for (const std::string& problem : info->problems)
            error(key, path, problem);
        if (!noGraphics_ && info->graphicsSet <= levelfile::kLastGraphicsSet &&
            !sets_[info->graphicsSet])
            error(key, path,
                  "graphics set " + std::to_string(info->graphicsSet) + " (" +
                      preview::kGraphicsSetNames[info->graphicsSet] +
                      ") is not in the game's STYLES folder");
        std::string content(bytes->begin(), bytes->end());
        if (auto [first, added] = byBytes_.try_emplace(std::move(content), level); !added)
            note(key, path,
                 "the file holds the same level as that of level " + nodeName(first->second) +
                     ", under another name");
    }

    const LevelTree& tree_;
    const GameFolder& game_;
    const ReadLevelBytes& read_;
    preview::FolderSets sets_;
    bool noGraphics_ = false;
    std::unordered_map<std::string, const LevelTree::Node*> byPath_, byBytes_;
    std::unordered_map<std::string, std::string> windowsFolders_;
    std::vector<ProfileProblem> problems_;
};

} // namespace

Result<std::vector<unsigned char>> readLevelFileBytes(const std::string& hostPath) {
    return readWholeFile(hostPath, levelfile::kLargestLevelRead);
}

std::vector<ProfileProblem> checkProfile(const LevelTree& tree, const GameFolder& game,
                                         const ReadLevelBytes& read) {
    return ProfileCheck(tree, game, read).run();
}

std::string alsoInSet(const std::vector<ProfileProblem>& problems, const LevelTree& tree,
                      std::string_view key) {
    const LevelTree::Node* level = tree.find(key);
    for (const ProfileProblem& p : problems) {
        if (p.sameFileAs.empty() || (p.key != key && p.sameFileAs != key))
            continue;
        const LevelTree::Node* other = tree.find(p.key == key ? p.sameFileAs : p.key);
        if (level && other && other->parent() != level->parent())
            return "also in set '" + windows1252ToUtf8(other->parent()->text()) + "'";
    }
    return {};
}

std::string groupFoldersOffered(const GameFolder& game) {
    std::vector<std::string> names;
    for (const FolderEntry& entry : listFolder(hostPathBelow(game.hostPath, "LEVEL")))
        if (entry.kind == EntryKind::Folder)
            names.push_back(entry.name);
    std::sort(names.begin(), names.end());
    std::string offered;
    for (const std::string& name : names)
        offered.append(offered.empty() ? "" : ", ").append(name);
    return offered;
}

std::string problemsOfNode(const std::vector<ProfileProblem>& problems, std::string_view key) {
    std::string text;
    for (const ProfileProblem& p : problems)
        if (p.key == key)
            text.append(text.empty() ? "" : "\n").append(p.problem);
    return text;
}

std::string problemCountText(const std::vector<ProfileProblem>& problems) {
    auto notes = std::count_if(problems.begin(), problems.end(), [](const ProfileProblem& p) {
        return p.severity == ProblemSeverity::Note;
    });
    auto errors = static_cast<long>(problems.size()) - notes;
    if (problems.empty())
        return {};
    return std::to_string(errors) + " problem(s), " + std::to_string(notes) + " note(s)";
}

} // namespace quillfen
