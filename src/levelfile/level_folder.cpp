#include "levelfile/level_folder.h"

#include <algorithm>
#include <cctype>
#include <dirent.h>
#include <sys/stat.h>

namespace quillfen::levelfile {
namespace {

char lower(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

bool endsWithLvl(const std::string& name) {
    static const std::string suffix = ".lvl";
    if (name.size() <= suffix.size())
        return false;
    return std::equal(suffix.rbegin(), suffix.rend(), name.rbegin(),
                      [](char a, char b) { return a == lower(b); });
}

bool lessWithoutCase(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return lower(x) < lower(y); });
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
        struct stat info {};
        if (::stat((folder + "/" + name).c_str(), &info) == 0 && S_ISREG(info.st_mode))
            names.push_back(std::move(name));
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end(), lessWithoutCase);
    return names;
}

} // namespace quillfen::levelfile
