#pragma once

#include "common/progress.h"
#include "common/result.h"
#include "common/user_interface.h"
#include "database/database_reader.h"
#include "editing/editor_state.h"
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

// The profile names below `usersKeyPath`, in the registry's order; warns when there is none.
std::vector<std::string> LoadProfiles(ProfileStore& store, const std::string& usersKeyPath,
                                      UserInterface& ui);

// The "DatabaseName" of the profile whose name is exactly `profileText` (as stored, a Windows
// path, or kNotFound when the value cannot be read); the empty text after its error message when
// no profile has that name.
std::string GetDatabaseFile(ProfileStore& store, const std::string& usersKeyPath,
                            const std::string& profileText, UserInterface& ui);

// Load Profile: reads the database file of the profile named `profileText` and builds the tree.
// True when the tree was replaced, and then `loaded`, when given, describes the file read; on a
// refusal the state is unchanged and the user was told.
bool LoadProfile(EditorState& state, ProfileStore& store, const std::string& profileText,
                 UserInterface& ui, const Progress& progress = {}, ProfileFile* loaded = nullptr);

// Save Profile Data: writes the tree into the database file of the profile named `profileText`,
// the old file kept as its backup. True when "saved" was shown. Whatever fails, the database
// file holds its complete old or complete new bytes and the backup its complete old bytes.
// `saved`, when given, then describes the file written.
bool SaveProfileData(EditorState& state, ProfileStore& store, const std::string& profileText,
                     UserInterface& ui, const Progress& progress = {},
                     ProfileFile* saved = nullptr);

} // namespace quillfen
