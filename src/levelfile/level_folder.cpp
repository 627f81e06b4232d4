#include "levelfile/level_folder.h"

#include <algorithm>
#include <dirent.h>
#include <sys/stat.h>

namespace quillfen::levelfile {
namespace {

// ASCII letters only, whatever the locale, as the names are compared without regard to case.
char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string lowered(std::string text) {
    for (char& c : text)
        c = lower(c);
    return text;
}

bool endsWithLvl(const std::string& name) {
    static const std::string suffix = ".lvl";
    if (name.size() <= suffix.size())
        return false;
    return std::equal(suffix.rbegin(), suffix.rend(), name.rbegin(),
                      [](char a, char b) { return a == lower(b); });
}

} // namespace

std::vector<std::string> scanLevelFiles(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr)
        return names;
    while (const dirent* entry = ::readdir(dir)) {
        std::string name = entry->d_name;
        // A name that starts with "." is hidden on Linux; Wine shows such files as hidden too.
        if (name.starts_with(".") || !endsWithLvl(name))
            continue;
        // The folder's own listing tells most files' type; only links and file systems that
        // do not say need a look at the file itself.
        bool file = entry->d_type == DT_REG;
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            struct stat info {};
            file = ::stat((folder + "/" + name).c_str(), &info) == 0 && S_ISREG(info.st_mode);
        }
        if (file)
            names.push_back(std::move(name));
    }
    ::closedir(dir);
    // Sorted without regard to case: each name is lowered once, not at every comparison.
    std::vector<std::pair<std::string, std::string>> keyed;
    keyed.reserve(names.size());
    for (std::string& name : names)
        keyed.emplace_back(lowered(name), std::move(name));
    std::sort(keyed.begin(), keyed.end());
    for (std::size_t i = 0; i < keyed.size(); ++i)
        names[i] = std::move(keyed[i].second);
    return names;
}

} // namespace quillfen::levelfile
