#include "host/host_path.h"

#include <string_view>
#include <vector>

namespace quillfen {
namespace {

#ifdef _WIN32
constexpr bool kDrives = true;
constexpr char kSeparators[] = "/\\";
constexpr char kSeparator = '\\';
#else
constexpr bool kDrives = false;
constexpr char kSeparators[] = "/";
constexpr char kSeparator = '/';
#endif

// The length of the drive that begins `path` ("C:"); 0 without one.
std::size_t driveLength(const std::string& path) {
    bool letter = path.size() >= 2 &&
                  ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
    return kDrives && letter && path[1] == ':' ? 2 : 0;
}

// Where the separator before the file's name is; npos when there is none after the drive.
std::size_t lastSeparator(const std::string& path) {
    std::size_t at = path.find_last_of(kSeparators);
    return at == std::string::npos || at < driveLength(path) ? std::string::npos : at;
}

} // namespace

bool isSeparator(char c) {
    return std::string_view(kSeparators).find(c) != std::string_view::npos;
}

std::string folderOf(const std::string& path) {
    std::size_t drive = driveLength(path), separator = lastSeparator(path);
    if (separator == std::string::npos)
        return drive ? path.substr(0, drive) : ".";
    // The root of the drive, or of the whole file system.
    if (separator == drive)
        return path.substr(0, separator + 1);
    return path.substr(0, separator);
}

std::string fileNameOf(const std::string& path) {
    std::size_t separator = lastSeparator(path);
    return path.substr(separator == std::string::npos ? driveLength(path) : separator + 1);
}

std::string stemOf(const std::string& path) {
    std::string name = fileNameOf(path);
    return name.substr(0, name.find_last_of('.'));
}

std::string driveOf(const std::string& path) {
    return path.substr(0, driveLength(path));
}

bool isRootedPath(const std::string& path) {
    std::size_t drive = driveLength(path);
    return path.size() > drive && isSeparator(path[drive]);
}

std::vector<std::string> namesOf(const std::string& path) {
    std::vector<std::string> names;
    std::size_t start = driveLength(path);
    while (start < path.size()) {
        std::size_t end = path.find_first_of(kSeparators, start);
        if (end == std::string::npos)
            end = path.size();
        if (end > start)
            names.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

std::string pathIn(const std::string& folder, const std::string& name) {
    // A root ("C:\", "/") ends with its separator already.
    if (!folder.empty() && isSeparator(folder.back()))
        return folder + name;
    return folder + kSeparator + name;
}

} // namespace quillfen
