// Any Windows path mapped into a small prefix: the same answer each time, below the drive's link
// for a drive C: path, and UTF-8 throughout.
#include "common/windows1252.h"
#include "fuzz_support.h"
#include "profiles/wine_paths.h"

#include <cstdint>
#include <filesystem>

using namespace quillfen;

namespace {

const std::string& prefix() {
    static const std::string path = [] {
        std::string root = fuzz::workFolder() + "/prefix";
        std::filesystem::create_directories(root + "/drive_c/Games/Lemm/Levels");
        std::filesystem::create_directories(root + "/drive_c/Caf\xC3\xA9");
        std::filesystem::create_directories(root + "/dosdevices");
        std::filesystem::create_directory_symlink("../drive_c", root + "/dosdevices/c:");
        fuzz::writeFile(root + "/drive_c/Games/Lemm/USER.DAT", "x");
        return root;
    }();
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Windows paths come as UTF-8 (from the registry, or a settings line read as Windows-1252).
    const std::string windowsPath =
        windows1252ToUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
    std::string host = hostPathInPrefix(prefix(), windowsPath);
    fuzz::require(host == hostPathInPrefix(prefix(), windowsPath), "the same path each time");
    fuzz::require(host.empty() == windowsPath.empty(), "a path gives a path");
    bool driveC = (size >= 2 && (data[0] | 0x20) == 'c' && data[1] == ':') ||
                  (size >= 1 && (data[0] == '\\' || data[0] == '/'));
    if (driveC)
        fuzz::require(host.starts_with(prefix() + "/dosdevices/c:"), "drive C: is the prefix's");
    for (std::size_t pos = 0; pos < host.size();)
        fuzz::require(decodeUtf8(host, pos).has_value(), "the host path is UTF-8");
    return 0;
}
