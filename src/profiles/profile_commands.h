#pragma once

#include "common/progress.h"
#include "common/result.h"
#include "database/database_reader.h"
#include "database/level_tree.h"
#include "profiles/profile_store.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace quillfen {

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

// A profile's database file as it was when it was last loaded or saved, so that a save can tell
// whether another program wrote it since.
struct ProfileFile {
    std::string databasePath; // as the registry names it
    std::string hostPath;
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

// The key path of a profile: the users key, a backslash, the name and a closing backslash.
std::string profileKeyPath(const std::string& usersKeyPath, const std::string& name);

// The profile names below `usersKeyPath`, in the registry's order, without a word to the user.
std::vector<std::string> listProfiles(ProfileStore& store, const std::string& usersKeyPath);

// The profile names below `usersKeyPath`, in the registry's order. Refused with kNoProfiles
// when there is none, or with the registry's own reason when it could not be read.
Result<std::vector<std::string>> LoadProfiles(ProfileStore& store, const std::string& usersKeyPath);

// The "DatabaseName" of the profile whose name is exactly `profileText` (as stored, a Windows
// path, or kNotFound when the value cannot be read). Refused with kProfileNotFound when no
// profile has that name.
Result<std::string> GetDatabaseFile(ProfileStore& store, const std::string& usersKeyPath,
                                    const std::string& profileText);

// A profile's database file as a load or a save left it: its tree, and the file as written.
struct LoadedProfile {
    ParsedDatabase database;
    ProfileFile file;
};
struct SavedProfile {
    std::string message; // "saved", and which profile's file was written
    ProfileFile file;
};

// Load Profile, once the profile's `databasePath` was looked up and the file at `hostPath`
// found `length` bytes long (GetFileLength): reads and parses it. Refused with kCorruptProfile
// when it is shorter than 99 bytes (missing, empty, a folder), else with what kept it from
// being read or parsed.
Result<LoadedProfile> LoadProfile(const std::string& databasePath, const std::string& hostPath,
                                  std::uint32_t length, const Progress& progress = {});

// Save Profile Data: writes `tree` into the database file `databasePath` (as GetDatabaseFile
// gave it) of the profile named `profileText`, the old file kept as its backup. Whatever fails,
// the database file holds its complete old or complete new bytes and the backup its complete
// old bytes.
Result<SavedProfile> SaveProfileData(const LevelTree& tree, ProfileStore& store,
                                     const std::string& profileText,
                                     const std::string& databasePath,
                                     const Progress& progress = {});

} // namespace quillfen
