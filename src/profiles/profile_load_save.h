#pragma once

#include "common/progress.h"
#include "common/result.h"
#include "database/database_reader.h"
#include "database/level_tree.h"
#include "host/file_write.h"
#include "profiles/profile_store.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace quillfen {

// A profile's DatabaseName that names a folder.
inline constexpr char kFoundDirectory[] = "found a directory instead of a file!";
// Where the game lists its profiles, below HKEY_LOCAL_MACHINE.
inline constexpr char kDefaultUsersKeyPath[] = "SOFTWARE\\Visual Sciences\\Windows Lemmings\\Users";

inline constexpr char kNoProfiles[] =
    "WARNING: couldn't find your lemmings profiles in the registry";
inline constexpr char kProfileNotFound[] =
    "ERROR: user database not found!  choose a different user profile";
inline constexpr char kCannotReadProfile[] = "ERROR: cannot read the user profile: ";
inline constexpr char kDatabaseNameUnreadable[] =
    "ERROR: the profile's database file name could not be read from the registry";
inline constexpr char kCannotReplaceBackup[] = "ERROR: cannot replace the backup file: ";
inline constexpr char kCouldNotSave[] = "ERROR: could not save the profile: ";
inline constexpr char kSaved[] = "saved";

// A profile's database file: its "DatabaseName", and the host file that names.
struct ProfilePath {
    std::string databasePath; // as the registry names it
    std::string hostPath;

    // The file as messages name it: its DatabaseName, followed by the host file in brackets
    // when the DatabaseName needs a working folder to be read.
    std::string shown() const;
};

// A profile's database file as it was when it was last loaded or saved, so that a save can tell
// whether another program wrote it since.
struct ProfileFile : ProfilePath {
    std::size_t size = 0;
    std::uint64_t hash = 0;
};

// A 64-bit hash of a file's bytes (FNV-1a): equal files give equal hashes.
std::uint64_t hashBytes(std::span<const unsigned char> bytes);

// The bytes of the profile database file at `hostPath`; the error names what kept them from
// being read, after kCannotReadProfile.
Result<std::vector<unsigned char>> readProfileFile(const std::string& hostPath);

// The tree of a profile database file's bytes, as a load takes them: a file shorter than 99
// bytes is refused as corrupt before any parsing.
Result<ParsedDatabase> parseProfileFile(std::span<const unsigned char> bytes,
                                        const Progress& progress = {});

// The tree of the profile database file at `hostPath`, outside of any profile (the
// command-line tool, a file dropped on the window).
Result<ParsedDatabase> loadProfileFile(const std::string& hostPath);

// The users key path is Windows-1252, as the settings file keeps it; profile names are UTF-8, as
// the registry gives them (see ProfileStore).

// The key path of a profile as the store takes it: the users key, a backslash, the name and a
// closing backslash.
std::string profileKeyPath(const std::string& usersKeyPath, const std::string& name);

// The profile names below `usersKeyPath`, in the registry's order, without a word to the user.
std::vector<std::string> listProfiles(ProfileStore& store, const std::string& usersKeyPath);

// The profile names below `usersKeyPath`, in the registry's order. Refused with kNoProfiles
// when there is none, or with the registry's own reason when it could not be read.
Result<std::vector<std::string>> LoadProfiles(ProfileStore& store, const std::string& usersKeyPath);

// The "DatabaseName" of the profile whose name is exactly `profileText` (as stored, a Windows
// path, or kNotFound when the value cannot be read). Refused with kProfileNotFound when no
// profile has that name, or with the registry's own reason when it could not be read.
Result<std::string> GetDatabaseFile(ProfileStore& store, const std::string& usersKeyPath,
                                    const std::string& profileText);

// The database file of the profile whose name is exactly `profileText`, for a load or a save.
// Refused as GetDatabaseFile refuses, with kDatabaseNameUnreadable, and when its "DatabaseName"
// is empty or names nothing that Windows would take for a file (unusableWindowsPath).
Result<ProfilePath> findProfileFile(ProfileStore& store, const std::string& usersKeyPath,
                                    const std::string& profileText);

// The refusal of a profile whose file is not there.
std::string profileFileMissing(const ProfilePath& path);

// A profile's database file as a load or a save left it: its tree, and the file as written.
struct LoadedProfile {
    ParsedDatabase database;
    ProfileFile file;
};
struct SavedProfile {
    std::string message; // "saved", and which profile's file was written
    ProfileFile file;
};

// Load Profile, once the profile's file was found (findProfileFile): reads and parses it.
// Refused with profileFileMissing when it is not there, kFoundDirectory for a folder,
// kCorruptProfile when it is shorter than 99 bytes, else with what kept it from being read or
// parsed.
Result<LoadedProfile> LoadProfile(const ProfilePath& path, const Progress& progress = {});

// Save Profile Data: writes `tree` into the database file `path` (as findProfileFile gave it)
// of the profile named `profileText`, the old file kept as its backup. Refused with
// profileFileMissing when there is no file to replace: a save makes no profile. Whatever
// fails, the database file holds its complete old or complete new bytes and the backup its
// complete old bytes.
// With `whenRead`, the save is refused (kChangedMeanwhile) when the file is no longer that.
Result<SavedProfile> SaveProfileData(const LevelTree& tree, ProfileStore& store,
                                     const std::string& profileText, const ProfilePath& path,
                                     const Progress& progress = {},
                                     const std::optional<ReadState>& whenRead = std::nullopt);

} // namespace quillfen
