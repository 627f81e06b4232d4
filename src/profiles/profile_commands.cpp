#include "profiles/profile_commands.h"

#include "database/database_format.h"
#include "database/database_reader.h"
#include "database/database_writer.h"
#include "host/file_io.h"
#include "host/file_save.h"
#include "profiles/profile_files.h"

namespace quillfen {
namespace {

// Passes on about a hundred of the steps of long work, the last one always.
Progress hundredSteps(const Progress& progress) {
    if (!progress)
        return {};
    return [progress](double value, double maximum) {
        double step =
            maximum < 100 ? 1 : static_cast<double>(static_cast<long long>(maximum / 100));
        if (value >= maximum || value == 0 ||
            static_cast<long long>(value) % static_cast<long long>(step) == 0)
            progress(value, maximum);
    };
}

void report(const Progress& progress, double value, double maximum) {
    if (progress)
        progress(value, maximum);
}

} // namespace

Result<std::vector<unsigned char>> readProfileFile(const std::string& hostPath) {
    auto bytes = readWholeFile(hostPath, format::kReadLimit);
    if (!bytes)
        return Error{explained(kCannotReadProfile, bytes.error())};
    return bytes;
}

Result<ParsedDatabase> parseProfileFile(std::span<const unsigned char> bytes,
                                        const Progress& progress) {
    if (bytes.size() < format::kMinFileSize)
        return Error{kCorruptProfile};
    return ParseDatabaseFile(bytes, progress);
}

Result<ParsedDatabase> loadProfileFile(const std::string& hostPath) {
    auto bytes = readProfileFile(hostPath);
    if (!bytes)
        return Error{bytes.error()};
    return parseProfileFile(*bytes);
}

std::uint64_t hashBytes(std::span<const unsigned char> bytes) {
    std::uint64_t hash = 14695981039346656037u;
    for (unsigned char byte : bytes)
        hash = (hash ^ byte) * 1099511628211u;
    return hash;
}

std::string profileKeyPath(const std::string& usersKeyPath, const std::string& name) {
    return usersKeyPath + "\\" + name + "\\";
}

std::vector<std::string> listProfiles(ProfileStore& store, const std::string& usersKeyPath) {
    std::vector<std::string> names;
    for (std::int32_t position = 0;; ++position) {
        std::string name = store.EnumRegKey(usersKeyPath, position);
        if (name == kNotFound)
            break;
        names.push_back(std::move(name));
    }
    return names;
}

std::vector<std::string> LoadProfiles(ProfileStore& store, const std::string& usersKeyPath,
                                      UserInterface& ui) {
    std::vector<std::string> names = listProfiles(store, usersKeyPath);
    if (names.empty()) {
        // A registry that could not be read is not one without profiles.
        std::string unreadable = store.unreadable();
        ui.message(unreadable.empty() ? std::string(kNoProfiles) : unreadable);
    }
    return names;
}

std::string GetDatabaseFile(ProfileStore& store, const std::string& usersKeyPath,
                            const std::string& profileText, UserInterface& ui) {
    for (std::int32_t position = 0;; ++position) {
        std::string name = store.EnumRegKey(usersKeyPath, position);
        if (name == kNotFound)
            break;
        if (name == profileText)
            return store.GetRegValue(profileKeyPath(usersKeyPath, name), "DatabaseName");
    }
    ui.message(kProfileNotFound);
    return {};
}

bool LoadProfile(EditorState& state, ProfileStore& store, const std::string& profileText,
                 UserInterface& ui, const Progress& progress, ProfileFile* loadedFile) {
    std::string path = GetDatabaseFile(store, state.usersKeyPath, profileText, ui);
    std::string file = path.empty() ? path : store.hostPath(path);
    double maximum = static_cast<double>(GetFileLength(file, ui)) + 1;
    report(progress, 0, maximum);
    if (maximum < 100) {
        ui.message(kCorruptProfile);
        return false;
    }
    // One read of the whole file; the progress bar shows it done, as after the game's editors'
    // byte loop, before the parse draws its own steps.
    auto bytes = readProfileFile(file);
    if (!bytes) {
        report(progress, 0, maximum);
        ui.message(bytes.error());
        return false;
    }
    report(progress, maximum, maximum);
    report(progress, 0, maximum);
    auto loaded = parseProfileFile(*bytes, hundredSteps(progress));
    report(progress, 0, maximum);
    if (!loaded) {
        ui.message(loaded.error());
        return false;
    }
    state.adopt(std::move(*loaded));
    if (loadedFile)
        *loadedFile = {path, file, bytes->size(), hashBytes(*bytes)};
    return true;
}

bool SaveProfileData(EditorState& state, ProfileStore& store, const std::string& profileText,
                     UserInterface& ui, const Progress& progress, ProfileFile* savedFile) {
    if (!profileLoaded(state)) {
        ui.message(kLoadFirst);
        return false;
    }
    auto records = static_cast<double>(state.tree.count());
    report(progress, 0, records);
    std::string path = GetDatabaseFile(store, state.usersKeyPath, profileText, ui);
    if (path.empty())
        return false;
    if (path == kNotFound) {
        ui.message(kDatabaseNameUnreadable);
        return false;
    }
    // The system would cut the name at the zero byte, and the backup's name with it: the backup
    // would be the file itself.
    if (path.find('\0') != std::string::npos) {
        ui.message(std::string(kCouldNotSave) + kZeroInFileName);
        return false;
    }
    std::string backupPath = path + "_backup";
    std::string file = store.hostPath(path);
    std::string backup = store.hostPath(backupPath);
    if (isFolder(backup)) {
        ui.message(kCannotReplaceBackup + backupPath);
        return false;
    }
    auto bytes = encodeDatabase(state.tree, hundredSteps(progress));
    auto saved = saveWithBackup(file, backup, bytes, format::kReadLimit);
    report(progress, 0, records);
    if (!saved) {
        ui.message(explained(kCouldNotSave, saved.error()));
        return false;
    }
    ui.message(std::string(kSaved) + "\nthe profile '" + profileText + "' was written to " + path);
    if (savedFile)
        *savedFile = {path, file, bytes.size(), hashBytes(bytes)};
    return true;
}

} // namespace quillfen
