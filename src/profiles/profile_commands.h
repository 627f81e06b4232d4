#pragma once

#include "database/editor_state.h"
#include "database/progress.h"
#include "database/user_interface.h"
#include "profiles/profile_store.h"

#include <string>
#include <vector>

namespace quillfen {

// Where the game lists its profiles, below HKEY_LOCAL_MACHINE.
inline constexpr char kDefaultUsersKeyPath[] = "SOFTWARE\\Visual Sciences\\Windows Lemmings\\Users";

inline constexpr char kNoProfiles[] =
    "WARNING: couldn't find your lemmings profiles in the registry";
inline constexpr char kProfileNotFound[] =
    "ERROR: user database not found!  choose a different user profile";
inline constexpr char kLoadFirst[] = "you have to load up a profile first";
inline constexpr char kCannotReadProfile[] = "ERROR: cannot read the user profile: ";
inline constexpr char kDatabaseNameUnreadable[] =
    "ERROR: the profile's database file name could not be read from the registry";
inline constexpr char kCannotReplaceBackup[] = "ERROR: cannot replace the backup file: ";
inline constexpr char kCouldNotSave[] = "ERROR: could not save the profile: ";
inline constexpr char kSaved[] = "saved";

// The key path of a profile: the users key, a backslash, the name and a closing backslash.
std::string profileKeyPath(const std::string& usersKeyPath, const std::string& name);

// The profile names below `usersKeyPath`, in the registry's order; warns when there is none.
std::vector<std::string> LoadProfiles(ProfileStore& store, const std::string& usersKeyPath,
                                      UserInterface& ui);

// The "DatabaseName" of the profile whose name is exactly `profileText` (as stored, a Windows
// path, or kNotFound when the value cannot be read); the empty text after its error message when
// no profile has that name.
std::string GetDatabaseFile(ProfileStore& store, const std::string& usersKeyPath,
                            const std::string& profileText, UserInterface& ui);

// Load Profile: reads the database file of the profile named `profileText` and builds the tree.
// True when the tree was replaced; on a refusal the state is unchanged and the user was told.
bool LoadProfile(EditorState& state, ProfileStore& store, const std::string& profileText,
                 UserInterface& ui, const Progress& progress = {});

// Save Profile Data: writes the tree into the database file of the profile named `profileText`,
// the old file kept as its backup. True when "saved" was shown. Whatever fails, the database
// file holds its complete old or complete new bytes and the backup its complete old bytes.
bool SaveProfileData(EditorState& state, ProfileStore& store, const std::string& profileText,
                     UserInterface& ui, const Progress& progress = {});

} // namespace quillfen
