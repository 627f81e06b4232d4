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

Result<std::uint32_t> GetFileLength(const std::string& hostPath) {
    if (hostPath.empty())
        return 0u;
    auto info = pathInfo(hostPath);
    if (!info || info->kind == EntryKind::Missing)
        return 0u;
    // The file search reports the entry's own name; one beginning with "." is not taken.
    if (fileNameOf(hostPath).starts_with('.'))
        return 0u;
    if (info->kind == EntryKind::Folder)
        return Error{kFoundDirectory};
    return static_cast<std::uint32_t>(info->size & 0xFFFFFFFF);
}

} // namespace quillfen
