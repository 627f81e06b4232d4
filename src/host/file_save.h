#pragma once

#include "common/result.h"

#include <cstddef>
#include <span>
#include <string>

namespace quillfen {

// Replaces the file at `path` with `bytes` and keeps its previous bytes at `backup`, so that
// whatever fails or stops the program, each of the two names holds a complete file.
//
// The file stays what it was: a symbolic link stays a link and its target is written; the new
// file and the backup take the old file's mode, and its owner and group where this program may
// give them; a file with more than one name is written in place once the backup is on the disk,
// so that every name sees the new bytes. A file that its mode makes read-only (for root, one
// without the owner's write bit), and anything that is not a file, is refused and left as it is,
// as is a file longer than `backupLimit`.
//
// Saves into one folder wait for each other (a few seconds at most, then the save is refused and
// nothing written); the temporaries of saves that were stopped are removed.
Status saveWithBackup(const std::string& path, const std::string& backup,
                      std::span<const unsigned char> bytes, std::size_t backupLimit);

} // namespace quillfen
