#include "profiles/wine_paths.h"

#include "host/file_io.h"
#include "profiles/windows_paths.h"
#include "profiles/wine_text.h"

#include <cctype>

namespace quillfen {
namespace {

// The spelling under which `name` is found in `folder`: the name itself when an entry has it,
// else the first entry equal to it without regard to case; empty when there is none.
std::string entryNamed(const std::string& folder, const std::string& name) {
    if (auto info = pathInfo(pathIn(folder, name), false); info && info->kind != EntryKind::Missing)
        return name;
    std::u16string wanted = utf8ToUtf16(name);
    for (const FolderEntry& entry : listFolder(folder)) {
        if (equalWithoutCase(utf8ToUtf16(entry.name), wanted))
            return entry.name;
    }
    return {};
}

} // namespace

std::string hostPathInPrefix(const std::string& prefix, std::string_view windowsPath) {
    if (windowsPath.empty())
        return {};
    std::string path;
    std::string_view rest = windowsPath;
    if (hasDriveLetter(windowsPath)) {
        auto letter = static_cast<char>(std::tolower(static_cast<unsigned char>(windowsPath[0])));
        path = pathIn(pathIn(prefix, "dosdevices"), std::string(1, letter) + ":");
        rest.remove_prefix(2);
    } else if (windowsPath[0] == '\\' || windowsPath[0] == '/') {
        // The root of the working folder's drive, which is C: for the game.
        path = pathIn(pathIn(prefix, "dosdevices"), "c:");
    } else {
        path = currentFolder();
    }
    return hostPathBelow(path, rest);
}

std::string hostPathBelow(const std::string& hostFolder, std::string_view windowsPath) {
    std::string path = hostFolder;
    bool searching = true;
    for (std::string_view part : windowsNames(windowsPath)) {
        std::string name(part);
        if (searching) {
            std::string found = entryNamed(path, name);
            if (found.empty())
                searching = false;
            else
                name = found;
        }
        path = pathIn(path, name);
    }
    return path;
}

} // namespace quillfen
