#include "profiles/prefix_discovery.h"

#include "host/file_io.h"
#include "profiles/profile_load_save.h"
#include "profiles/profile_store.h"

#include <algorithm>
#include <set>
#include <utility>

namespace quillfen {
namespace {

struct LauncherFolder {
    const char* folder; // below the home folder
    const char* launcher;
    bool onePrefixPerSubfolder;
    // A folder inside each subfolder that may be the prefix instead, or nullptr.
    const char* innerPrefix = nullptr;
};

// Lutris makes the game's folder itself the prefix, but some install scripts put it in the game
// folder's prefix/ subfolder.
constexpr LauncherFolder kLauncherFolders[] = {
    {".wine", "Wine", false},
    {"Games", "Lutris", true, "prefix"},
    {".local/share/bottles/bottles", "Bottles", true},
    {".var/app/com.usebottles.bottles/data/bottles/bottles", "Bottles (Flatpak)", true},
    {".PlayOnLinux/wineprefix", "PlayOnLinux", true},
    {".local/share/wineprefixes", "wineprefixes", true},
};

bool holdsRegistry(const std::string& folder) {
    auto info = pathInfo(pathIn(folder, "system.reg"));
    return info && info->kind == EntryKind::File;
}

// The folders (or links to folders) in `folder`, in the order of their names.
std::vector<std::string> subfolders(const std::string& folder) {
    std::vector<std::string> names;
    for (const FolderEntry& entry : listFolder(folder))
        if (entry.kind == EntryKind::Folder)
            names.push_back(entry.name);
    std::sort(names.begin(), names.end());
    std::vector<std::string> found;
    for (const std::string& name : names)
        found.push_back(pathIn(folder, name));
    return found;
}

struct Candidate {
    std::string path;
    const char* launcher;
};

std::vector<Candidate> candidates(const std::string& home, const std::string& winePrefixEnv) {
    std::vector<Candidate> found;
    if (!winePrefixEnv.empty())
        found.push_back({winePrefixEnv, "WINEPREFIX"});
    if (home.empty())
        return found;
    for (const LauncherFolder& folder : kLauncherFolders) {
        std::string path = pathIn(home, folder.folder);
        if (!folder.onePrefixPerSubfolder) {
            found.push_back({path, folder.launcher});
            continue;
        }
        for (const std::string& prefix : subfolders(path)) {
            found.push_back({prefix, folder.launcher});
            if (folder.innerPrefix)
                found.push_back({pathIn(prefix, folder.innerPrefix), folder.launcher});
        }
    }
    return found;
}

} // namespace

std::vector<std::string> prefixProfiles(const std::string& prefix,
                                        const std::string& usersKeyPath) {
    if (!holdsRegistry(prefix))
        return {};
    WinePrefixStore store(prefix);
    return listProfiles(store, usersKeyPath);
}

std::vector<FoundPrefix> findWinePrefixes(const std::string& home, const std::string& winePrefixEnv,
                                          const std::string& usersKeyPath) {
    std::vector<FoundPrefix> found;
    // Each folder once, however it is reached: by its identity on the host.
    std::set<std::pair<std::uint64_t, std::uint64_t>> seen;
    for (const Candidate& candidate : candidates(home, winePrefixEnv)) {
        if (!holdsRegistry(candidate.path))
            continue;
        auto info = pathInfo(candidate.path);
        if (!info || !seen.insert({info->device, info->id}).second)
            continue;
        auto profiles = prefixProfiles(candidate.path, usersKeyPath);
        if (!profiles.empty())
            found.push_back({candidate.path, candidate.launcher, std::move(profiles)});
    }
    return found;
}

} // namespace quillfen
