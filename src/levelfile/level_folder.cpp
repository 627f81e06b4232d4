#include "levelfile/level_folder.h"

#include "host/file_io.h"

#include <algorithm>

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
    for (FolderEntry& entry : listFolder(folder)) {
        // A name that starts with "." is hidden on Linux; Wine shows such files as hidden too.
        if (entry.kind == EntryKind::File && !entry.name.starts_with(".") &&
            endsWithLvl(entry.name))
            names.push_back(std::move(entry.name));
    }
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
