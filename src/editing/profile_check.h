#pragma once

#include "common/result.h"
#include "database/level_tree.h"
#include "profiles/game_folder.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quillfen {

// An error keeps the game from finding or playing a level; a note is worth a look but harms
// nothing.
enum class ProblemSeverity { Error, Note };

// One thing the profile check found, of one node: a level, or a group for its folder; the key
// is empty for a note on the whole install.
struct ProfileProblem {
    std::string key;
    std::string file;    // the host path of the file or folder it is about
    std::string problem; // in the player's words (UTF-8)
    ProblemSeverity severity = ProblemSeverity::Error;
    // The file as the player types it (UTF-8): "C:\LEMM\LEVEL\CUST\x.lvl"; empty with `file`.
    std::string windowsFile = {};
    // For the note that another level node names the same file: that node's key.
    std::string sameFileAs = {};
};

// The set of another level node that names the file of the level `key` too, as the check's notes
// say (either node may carry the note): "also in set 'EASY'" (UTF-8); empty when no such node is
// in another set.
std::string alsoInSet(const std::vector<ProfileProblem>& problems, const LevelTree& tree,
                      std::string_view key);

// How the check reads a level file: its bytes, or the system's reason.
using ReadLevelBytes = std::function<Result<std::vector<unsigned char>>(const std::string&)>;
// Reads it from the disk, as the level files are read everywhere else.
Result<std::vector<unsigned char>> readLevelFileBytes(const std::string& hostPath);

// Checks each group's folder and each level node of the tree against the game's install, in tree
// order: the folder text is one Windows opens and the folder is there (else one error on the
// group, its levels left unchecked); the file name is one Windows opens; the file is there and is
// a Windows level; the problems readLevelBytes finds in it; its graphics set is in the game's
// STYLES folder (when that holds no graphics at all, as a fresh install's may not, one note for
// the install instead). Notes for a file that another level node names too, and for a file that
// holds the same bytes as another level's file. Reads each file once through `read`.
std::vector<ProfileProblem> checkProfile(const LevelTree& tree, const GameFolder& game,
                                         const ReadLevelBytes& read = readLevelFileBytes);

// What a tree's mark on the node `key` says: each of its problems, one a line; empty for none.
std::string problemsOfNode(const std::vector<ProfileProblem>& problems, std::string_view key);

// The folders that the game's LEVEL folder holds, as Add Group offers them: "CUST, ORIG" (names
// in UTF-8 as the host spells them, in the order of their names); empty when it holds none.
std::string groupFoldersOffered(const GameFolder& game);

// The count the status bar shows: "2 problem(s), 1 note(s)"; empty when there are none.
std::string problemCountText(const std::vector<ProfileProblem>& problems);

} // namespace quillfen
