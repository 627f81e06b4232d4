#pragma once

#include "common/result.h"
#include "levelfile/level_file.h"
#include "preview/graphics_set.h"

#include <array>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace quillfen::preview {

inline constexpr unsigned kGraphicsSets = levelfile::kLastGraphicsSet + 1;

// The sets' names as players know them; the sequel's are also the stems of their files in the
// Windows game's styles/ folder.
inline constexpr std::array<const char*, kGraphicsSets> kGraphicsSetNames = {
    "dirt", "fire", "marble", "pillar", "crystal", "brick", "rock", "snow", "bubble"};

// How find's refusal begins when no folder holds the set (rather than a damaged file).
inline constexpr char kNoGraphicsFound[] = "ERROR: found no graphics for ";

using FolderSets = std::array<std::optional<SetFiles>, kGraphicsSets>;

// The sets whose graphics lie in `folder`, names in any case: a Windows game folder holds
// styles/ with a ground file for each of its sets; a DOS game folder holds GROUNDnO.DAT and
// VGAGRn.DAT, sets n of the original game, or sets 5 + n when DLVEL*.DAT packs show it to be
// the sequel's. A set found both ways is taken from the Windows files.
FolderSets graphicsIn(const std::string& folder);

// Where to look for a set's graphics, in this order.
struct GraphicsPlaces {
    std::vector<std::string> chosen = {}; // folders the player chose
    std::string levelFile = {};           // its folder and up to four above it
    std::string databaseFile = {};        // a profile's database file, when there is one: the same
    std::string winePrefix = {}; // the folders right under its drive_c and drive_c/Program Files*
};

// The game's graphics, looked for in a bounded list of folders and decoded once a set: what
// each folder holds and each set's pictures are kept for the life of the object, which a
// front-end keeps for the life of the program.
class GameGraphics {
public:
    // The pictures of graphics set `set` (0-8) from the first folder of `places` that holds
    // them. Refused with the user's message when no folder does (naming the set and the places
    // searched), or when one of the set's files cannot be read or is damaged (loadGraphicsSet).
    Result<const GraphicsSet*> find(unsigned set, const GraphicsPlaces& places);

private:
    const FolderSets& setsIn(const std::string& folder);
    const std::vector<std::string>& prefixFolders(const std::string& prefix);

    std::map<std::string, FolderSets> folders_;
    std::map<std::string, std::vector<std::string>> prefixes_;
    std::map<SetFiles, GraphicsSet> sets_;
};

} // namespace quillfen::preview
