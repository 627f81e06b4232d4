#include "profiles/wine_paths.h"

#include "common/windows1252.h"
#include "host/file_io.h"
#include "profiles/wine_text.h"

#include <cctype>
#include <vector>

namespace quillfen {
namespace {

std::vector<std::string_view> components(std::string_view path) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= path.size(); ++i) {
        if (i < path.size() && path[i] != '\\' && path[i] != '/')
            continue;
        std::string_view part = path.substr(start, i - start);
        start = i + 1;
        if (part.empty() || part == ".")
            continue;
        if (part == "..") {
            // As on Windows, ".." at a drive's root stays at the root.
            if (!parts.empty())
                parts.pop_back();
            continue;
        }
        parts.push_back(part);
    }
    return parts;
}

// The spelling under which `name` is found in `folder`: the name itself when an entry has it,
// else the first entry equal to it without regard to case; empty when there is none.
std::string entryNamed(const std::string& folder, const std::string& name) {
    std::string exact = folder + "/" + name;
    if (auto info = pathInfo(exact, false); info && info->kind != EntryKind::Missing)
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
    if (windowsPath.front() == '/')
        return windows1252ToUtf8(windowsPath);

    std::string base; // empty: relative to the working folder
    std::string_view rest = windowsPath;
    auto letter = static_cast<unsigned char>(windowsPath[0]);
    if (windowsPath.size() >= 2 && windowsPath[1] == ':' && letter < 0x80 && std::isalpha(letter)) {
        base = prefix + "/dosdevices/" + static_cast<char>(std::tolower(letter)) + ":";
        rest.remove_prefix(2);
    } else if (windowsPath.front() == '\\') {
        base = prefix + "/dosdevices/c:";
    }

    std::string path = base;
    bool searching = true;
    for (std::string_view part : components(rest)) {
        std::string name = windows1252ToUtf8(part);
        if (searching) {
            std::string found = entryNamed(path.empty() ? "." : path, name);
            if (found.empty())
                searching = false;
            else
                name = found;
        }
        path += path.empty() ? name : "/" + name;
    }
    // A relative path that comes back to where it began ("LEMM\..") names the working folder.
    return path.empty() ? "." : path;
}

} // namespace quillfen
