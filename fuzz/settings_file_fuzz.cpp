// Any bytes as profile.txt: the settings read from it are written and read back unchanged, and
// the startup folder they give is a folder.
#include "editor/settings_file.h"
#include "fuzz_support.h"
#include "profiles/profile_store.h"

#include <cstdint>
#include <filesystem>

using namespace quillfen;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string prefix = [] {
        std::string root = fuzz::workFolder() + "/prefix";
        std::filesystem::create_directories(root + "/drive_c/levels");
        std::filesystem::create_directories(root + "/dosdevices");
        std::filesystem::create_directory_symlink("../drive_c", root + "/dosdevices/c:");
        return root;
    }();
    const std::string path = fuzz::workFolder() + "/" + settings::kFileName;
    fuzz::writeFile(path, {reinterpret_cast<const char*>(data), size});

    settings::Settings read = settings::readSettings(path);
    fuzz::require(!read.startupFolder.empty() && !read.usersKeyPath.empty(),
                  "an empty line keeps its default");
    fuzz::require(settings::writeSettings(path, read).ok(), "the settings are written");
    settings::Settings again = settings::readSettings(path);
    fuzz::require(again.startupFolder == read.startupFolder &&
                      again.usersKeyPath == read.usersKeyPath,
                  "written settings read back the same");

    WinePrefixStore store(prefix);
    std::error_code ignored;
    fuzz::require(std::filesystem::is_directory(
                      settings::startupFolderPath(read.startupFolder, store), ignored),
                  "the startup folder is a folder");
    return 0;
}
