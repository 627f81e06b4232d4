#include "profiles/profile_files.h"

#include <sys/stat.h>

namespace quillfen {

bool FileExists(const std::string& hostPath) {
    struct stat info {};
    return !hostPath.empty() && ::stat(hostPath.c_str(), &info) == 0;
}

std::uint32_t GetFileLength(const std::string& hostPath, UserInterface& ui) {
    struct stat info {};
    if (hostPath.empty() || ::stat(hostPath.c_str(), &info) != 0)
        return 0;
    // The file search reports the entry's own name; one beginning with "." is not taken.
    auto slash = hostPath.find_last_of('/');
    std::string_view name =
        std::string_view(hostPath).substr(slash == std::string::npos ? 0 : slash + 1);
    if (!name.empty() && name.front() == '.')
        return 0;
    if (S_ISDIR(info.st_mode)) {
        ui.message(kFoundDirectory);
        return 0;
    }
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(info.st_size) & 0xFFFFFFFF);
}

} // namespace quillfen
