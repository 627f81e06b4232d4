#include "editor/settings_file.h"

#include "common/windows1252.h"
#include "host/file_io.h"
#include "host/file_write.h"
#include "profiles/profile_store.h"

#include <cctype>
#include <vector>

namespace quillfen::settings {
namespace {

// Far more than two lines of paths.
constexpr std::size_t kMaxSettingsFile = std::size_t{1} << 20;

std::vector<std::string> readLines(const std::string& path) {
    std::vector<std::string> lines;
    // A file that cannot be read (or is a FIFO or a device) counts as a missing one.
    auto read = readWholeFile(path, kMaxSettingsFile);
    if (!read)
        return lines;
    std::string bytes(read->begin(), read->end());
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(bytes.substr(start));
            break;
        }
        lines.push_back(bytes.substr(start, end - start));
        // The tool writes CR LF; a file edited on Linux may end its lines with LF alone.
        start = end + 1;
        if (bytes[end] == '\r' && start < bytes.size() && bytes[start] == '\n')
            ++start;
    }
    return lines;
}

// Writes the file at `path`, its folder first made when it is missing.
Status writeLines(const std::string& path, const std::string& text) {
    if (auto made = makeFolder(folderOf(path)); !made)
        return made;
    return writeFile(path, std::vector<unsigned char>(text.begin(), text.end()));
}

bool isDrivePath(const std::string& line) {
    return line.size() >= 2 && std::isalpha(static_cast<unsigned char>(line[0])) && line[1] == ':';
}

bool isFolder(const std::string& path) {
    return !path.empty() && quillfen::isFolder(path);
}

} // namespace

std::string hostFolder(const std::string& line, ProfileStore& store) {
    if (isDrivePath(line))
        return store.hostPath(windows1252ToUtf8(line));
    return windows1252ToUtf8(line);
}

std::string settingsPath() {
    if (auto here = pathInfo(kFileName); here && here->kind != EntryKind::Missing)
        return kFileName;
    return pathIn(settingsFolder(), kFileName);
}

Settings readSettings(const std::string& path) {
    Settings settings;
    std::vector<std::string> lines = readLines(path);
    if (lines.size() > 0 && !lines[0].empty())
        settings.startupFolder = lines[0];
    if (lines.size() > 1 && !lines[1].empty())
        settings.usersKeyPath = lines[1];
    if (lines.size() > 2)
        settings.gameFolder = lines[2];
    for (std::size_t i = 3; i < lines.size(); ++i)
        if (!lines[i].empty())
            settings.dosGraphicsFolders.push_back(lines[i]);
    return settings;
}

Status writeSettings(const std::string& path, const Settings& settings) {
    std::string text = settings.startupFolder + "\r\n" + settings.usersKeyPath + "\r\n";
    if (!settings.gameFolder.empty() || !settings.dosGraphicsFolders.empty())
        text += settings.gameFolder + "\r\n";
    for (const std::string& folder : settings.dosGraphicsFolders)
        text += folder + "\r\n";
    return writeLines(path, text);
}

bool agreedTo(const std::string& version) {
    std::vector<std::string> lines = readLines(pathIn(settingsFolder(), kAgreementFileName));
    return !lines.empty() && lines[0] == version;
}

Status keepAgreement(const std::string& version) {
    return writeLines(pathIn(settingsFolder(), kAgreementFileName), version + "\r\n");
}

LastPlace lastPlace() {
    std::vector<std::string> lines = readLines(pathIn(settingsFolder(), kLastPlaceFileName));
    lines.resize(2);
    return {lines[0], lines[1]};
}

Status keepLastPlace(const LastPlace& place) {
    return writeLines(pathIn(settingsFolder(), kLastPlaceFileName),
                      place.folder + "\r\n" + place.profile + "\r\n");
}

std::string startupFolderPath(const std::string& line, ProfileStore& store) {
    std::string folder = hostFolder(line, store);
    if (isFolder(folder))
        return folder;
    folder = store.hostPath(kDefaultStartupFolder);
    if (isFolder(folder))
        return folder;
    return currentFolder();
}

} // namespace quillfen::settings
