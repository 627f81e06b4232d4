#include "profiles/profile_files.h"

#include "host/file_io.h"

#include <algorithm>

namespace quillfen {

bool FileExists(const std::string& hostPath) {
    if (hostPath.empty())
        return false;
    auto info = pathInfo(hostPath);
    return info && info->kind != EntryKind::Missing;
}

std::uint32_t GetFileLength(const std::string& hostPath, UserInterface& ui) {
    if (hostPath.empty())
        return 0;
    auto info = pathInfo(hostPath);
    if (!info || info->kind == EntryKind::Missing)
        return 0;
    // The file search reports the entry's own name; one beginning with "." is not taken.
    auto separator = std::find_if(hostPath.rbegin(), hostPath.rend(), isSeparator);
    if (separator != hostPath.rbegin() && *std::prev(separator) == '.')
        return 0;
    if (info->kind == EntryKind::Folder) {
        ui.message(kFoundDirectory);
        return 0;
    }
    return static_cast<std::uint32_t>(info->size & 0xFFFFFFFF);
}

} // namespace quillfen
