#include "profiles/prefix_discovery.h"

#include "profiles/profile_load_save.h"
#include "profiles/profile_store.h"

#include <algorithm>
#include <filesystem>
#include <set>

namespace quillfen {
namespace {

namespace fs = std::filesystem;

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

bool holdsRegistry(const fs::path& folder) {
    std::error_code error;
    return fs::is_regular_file(folder / "system.reg", error);
}

// The folders (or links to folders) in `folder`, in the order of their names.
std::vector<fs::path> subfolders(const fs::path& folder) {
    std::vector<fs::path> found;
    std::error_code error;
    fs::directory_iterator entry(folder, fs::directory_options::skip_permission_denied, error);
    for (; !error && entry != fs::directory_iterator(); entry.increment(error)) {
        std::error_code ignored;
        if (entry->is_directory(ignored))
            found.push_back(entry->path());
    }
    std::sort(found.begin(), found.end());
    return found;
}

struct Candidate {
    fs::path path;
    const char* launcher;
};

std::vector<Candidate> candidates(const std::string& home, const std::string& winePrefixEnv) {
    std::vector<Candidate> found;
    if (!winePrefixEnv.empty())
        found.push_back({winePrefixEnv, "WINEPREFIX"});
    if (home.empty())
        return found;
    for (const LauncherFolder& folder : kLauncherFolders) {
        fs::path path = fs::path(home) / folder.folder;
        if (!folder.onePrefixPerSubfolder) {
            found.push_back({path, folder.launcher});
            continue;
        }
        for (const fs::path& prefix : subfolders(path)) {
            found.push_back({prefix, folder.launcher});
            if (folder.innerPrefix)
                found.push_back({prefix / folder.innerPrefix, folder.launcher});
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
    std::set<fs::path> seen;
    for (const Candidate& candidate : candidates(home, winePrefixEnv)) {
        if (!holdsRegistry(candidate.path))
            continue;
        std::error_code error;
        fs::path real = fs::canonical(candidate.path, error);
        if (error || !seen.insert(real).second)
            continue;
        auto profiles = prefixProfiles(candidate.path.string(), usersKeyPath);
        if (!profiles.empty())
            found.push_back({candidate.path.string(), candidate.launcher, std::move(profiles)});
    }
    return found;
}

} // namespace quillfen
