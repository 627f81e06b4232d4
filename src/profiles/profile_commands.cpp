#include "profiles/profile_commands.h"

#include "database/database_format.h"
#include "database/database_reader.h"
#include "database/database_writer.h"
#include "host/file_io.h"
#include "host/file_write.h"

namespace quillfen {
namespace {

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

Result<std::vector<std::string>> LoadProfiles(ProfileStore& store,
                                              const std::string& usersKeyPath) {
    std::vector<std::string> names = listProfiles(store, usersKeyPath);
    if (!names.empty())
        return names;
    // A registry that could not be read is not one without profiles.
    std::string unreadable = store.unreadable();
    return Error{unreadable.empty() ? std::string(kNoProfiles) : unreadable};
}

Result<std::string> GetDatabaseFile(ProfileStore& store, const std::string& usersKeyPath,
                                    const std::string& profileText) {
    for (const std::string& name : listProfiles(store, usersKeyPath))
        if (name == profileText)
            return store.GetRegValue(profileKeyPath(usersKeyPath, name), "DatabaseName");
    return Error{kProfileNotFound};
}

Result<LoadedProfile> LoadProfile(const std::string& databasePath, const std::string& hostPath,
                                  std::uint32_t length, const Progress& progress) {
    double maximum = static_cast<double>(length) + 1;
    report(progress, 0, maximum);
    if (maximum < 100)
        return Error{kCorruptProfile};
    // One read of the whole file; the progress bar shows it done, as after the game's editors'
    // byte loop, before the parse draws its own steps.
    auto bytes = readProfileFile(hostPath);
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
    return LoadedProfile{std::move(*parsed),
                         {databasePath, hostPath, bytes->size(), hashBytes(*bytes)}};
}

Result<SavedProfile> SaveProfileData(const LevelTree& tree, ProfileStore& store,
                                     const std::string& profileText,
                                     const std::string& databasePath, const Progress& progress) {
    auto records = static_cast<double>(tree.count());
    report(progress, 0, records);
    if (databasePath == kNotFound)
        return Error{kDatabaseNameUnreadable};
    // The system would cut the name at the zero byte, and the backup's name with it: the backup
    // would be the file itself.
    if (databasePath.find('\0') != std::string::npos)
        return Error{std::string(kCouldNotSave) + kZeroInFileName};
    std::string backupPath = databasePath + "_backup";
    std::string file = store.hostPath(databasePath);
    std::string backup = store.hostPath(backupPath);
    if (isFolder(backup))
        return Error{kCannotReplaceBackup + backupPath};
    auto bytes = encodeDatabase(tree, thinned(progress));
    auto saved = writeFile(file, bytes, {.backup = backup, .backupLimit = format::kReadLimit});
    report(progress, 0, records);
    if (!saved)
        return Error{explained(kCouldNotSave, saved.error())};
    return SavedProfile{std::string(kSaved) + "\nthe profile '" + profileText +
                            "' was written to " + databasePath,
                        {databasePath, file, bytes.size(), hashBytes(bytes)}};
}

} // namespace quillfen
