#include "profiles/profile_load_save.h"

#include "common/windows1252.h"
#include "database/database_format.h"
#include "database/database_reader.h"
#include "database/database_writer.h"
#include "host/file_io.h"
#include "host/file_write.h"
#include "profiles/windows_paths.h"

namespace quillfen {
namespace {

void report(const Progress& progress, double value, double maximum) {
    if (progress)
        progress(value, maximum);
}

// `refusal`, or why the registry could not be read: one that could not be read is not one
// without the profiles asked for.
Error registryRefusal(ProfileStore& store, const char* refusal) {
    std::string unreadable = store.unreadable();
    return Error{unreadable.empty() ? std::string(refusal) : unreadable};
}

} // namespace

std::string ProfilePath::shown() const {
    if (isFullWindowsPath(databasePath))
        return databasePath;
    return databasePath + " (" + hostPath + ")";
}

std::string profileFileMissing(const ProfilePath& path) {
    return "ERROR: the profile's file " + path.shown() + " does not exist";
}

Result<std::vector<unsigned char>> readProfileFile(const std::string& hostPath) {
    // A load puts back what a stopped save of this program left half written.
    auto bytes = readWholeFile(hostPath, format::kReadLimit, OpenFor::RepairingRead);
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
    return windows1252ToUtf8(usersKeyPath) + "\\" + name + "\\";
}

std::vector<std::string> listProfiles(ProfileStore& store, const std::string& usersKeyPath) {
    std::vector<std::string> names;
    for (std::int32_t position = 0;; ++position) {
        std::string name = store.EnumRegKey(windows1252ToUtf8(usersKeyPath), position);
        if (name == kNotFound)
            break;
        names.push_back(std::move(name));
    }
    return names;
}

Result<std::vector<std::string>> LoadProfiles(ProfileStore& store,
                                              const std::string& usersKeyPath) {
    std::vector<std::string> names = listProfiles(store, usersKeyPath);
    if (!names.empty())
        return names;
    return registryRefusal(store, kNoProfiles);
}

Result<std::string> GetDatabaseFile(ProfileStore& store, const std::string& usersKeyPath,
                                    const std::string& profileText) {
    for (const std::string& name : listProfiles(store, usersKeyPath))
        if (name == profileText)
            return store.GetRegValue(profileKeyPath(usersKeyPath, name), "DatabaseName");
    return registryRefusal(store, kProfileNotFound);
}

Result<ProfilePath> findProfileFile(ProfileStore& store, const std::string& usersKeyPath,
                                    const std::string& profileText) {
    auto databasePath = GetDatabaseFile(store, usersKeyPath, profileText);
    if (!databasePath)
        return Error{databasePath.error()};
    if (*databasePath == kNotFound)
        return Error{kDatabaseNameUnreadable};
    if (databasePath->empty())
        return Error{"ERROR: the profile " + profileText + " has an empty DatabaseName"};
    if (std::string unusable = unusableWindowsPath(*databasePath); !unusable.empty())
        return Error{"ERROR: the profile " + profileText + "'s DatabaseName " + *databasePath +
                     " cannot name a file: " + unusable};
    return ProfilePath{*databasePath, store.hostPath(*databasePath)};
}

Result<LoadedProfile> LoadProfile(const ProfilePath& path, const Progress& progress) {
    auto info = pathInfo(path.hostPath);
    // The progress bar counts the bytes to read, as the game's editors' byte loop did.
    double maximum =
        (info && info->kind != EntryKind::Folder ? static_cast<double>(info->size & 0xFFFFFFFF)
                                                 : 0) +
        1;
    report(progress, 0, maximum);
    if (!info || info->kind == EntryKind::Missing || path.hostPath.empty())
        return Error{profileFileMissing(path)};
    if (info->kind == EntryKind::Folder)
        return Error{kFoundDirectory};
    // A FIFO or a device has no length to speak of: it is refused as a save refuses it.
    if (info->kind == EntryKind::Other)
        return Error{notAFile(path.hostPath)};
    if (maximum < 100)
        return Error{kCorruptProfile};
    // One read of the whole file; the progress bar shows it done, as after the game's editors'
    // byte loop, before the parse draws its own steps.
    auto bytes = readProfileFile(path.hostPath);
    if (!bytes) {
        report(progress, 0, maximum);
        return Error{bytes.error()};
    }
    report(progress, maximum, maximum);
    report(progress, 0, maximum);
    auto parsed = parseProfileFile(*bytes, thinned(progress));
    report(progress, 0, maximum);
    if (!parsed)
        return Error{parsed.error()};
    return LoadedProfile{std::move(*parsed), {path, bytes->size(), hashBytes(*bytes)}};
}

Result<SavedProfile> SaveProfileData(const LevelTree& tree, ProfileStore& store,
                                     const std::string& profileText, const ProfilePath& path,
                                     const Progress& progress,
                                     const std::optional<ReadState>& whenRead) {
    auto records = static_cast<double>(tree.count());
    report(progress, 0, records);
    // A save replaces a profile's file: one that is not there speaks of a wrong DatabaseName or
    // of a file moved away, not of a profile to be made.
    if (path.hostPath.empty() || !pathExists(path.hostPath))
        return Error{profileFileMissing(path)};
    std::string backupPath = path.databasePath + "_backup";
    std::string file = path.hostPath;
    std::string backup = store.hostPath(backupPath);
    if (isFolder(backup))
        return Error{kCannotReplaceBackup + backupPath};
    auto bytes = encodeDatabase(tree, thinned(progress));
    auto saved = writeFile(
        file, bytes, {.backup = backup, .backupLimit = format::kReadLimit, .whenRead = whenRead});
    report(progress, 0, records);
    if (!saved)
        return Error{explained(kCouldNotSave, saved.error())};
    return SavedProfile{std::string(kSaved) + " the profile '" + profileText + "' to " +
                            path.shown(),
                        {path, bytes.size(), hashBytes(bytes)}};
}

} // namespace quillfen
