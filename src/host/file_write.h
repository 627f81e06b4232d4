#pragma once

#include "common/result.h"
#include "host/file_io.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace quillfen {

// A file's identity and bytes, read together, so that a write can tell whether another program
// changed the file since.
struct ReadState {
    std::uint64_t device = 0, id = 0;
    std::vector<unsigned char> bytes;
};

// How writeFile treats what is at the path.
struct WriteRules {
    // Where the file's previous bytes are kept (none when empty), and the longest file that is
    // copied there.
    std::string backup = {};
    std::size_t backupLimit = SIZE_MAX;
    // Refuses anything at all at the path, a file or a link or a folder: the file is new.
    bool mustBeNew = false;
    // Without it nothing is flushed to the disk (for benchmarks of the rest).
    bool sync = true;
    // The file as it was read: the write is refused (kChangedMeanwhile) when the path no longer
    // names that file or the file no longer holds those bytes, looked at under the file's lock
    // before anything is written.
    std::optional<ReadState> whenRead = std::nullopt;
};

// The refusal of a path that mustBeNew finds taken.
inline constexpr char kAlreadyThere[] = "something of that name is already there";
// The refusal of a write whose file is no longer what `whenRead` holds.
inline constexpr char kChangedMeanwhile[] = "another program changed the file since it was read";

// The identity and the whole of the file at `path` (its links followed), read from one opening.
// Refused as readWholeFile refuses.
Result<ReadState> readState(const std::string& path, std::size_t maxBytes,
                            OpenFor how = OpenFor::Reading);

// The one write of a whole file: every file the program writes goes through it, so that it holds
// either its old or its new bytes whatever fails or stops the program on the way, and so does
// the backup when there is one.
//
// Only a regular file or a new name is written: a device, a FIFO or a folder is refused and left
// as it is. The file stays what it was: a symbolic link stays a link and its target is written;
// the new file and the backup take the old file's mode, and its owner and group where this
// program may give them; a file with more than one name is written in place, after a copy of
// its old bytes is on the disk (see openFile for a write in place that is stopped), so that
// every name sees the new bytes. A file that its mode makes read-only (for root too) is refused,
// as is one that this program may not write (with the system's reason), and one longer than
// `backupLimit` when a backup is kept.
//
// Writes into one folder wait for each other (a few seconds at most, then the write is refused
// and nothing written); the temporaries of writes that were stopped are removed. Nothing else is
// left in the folder.
Status writeFile(const std::string& path, std::span<const unsigned char> bytes,
                 const WriteRules& rules = {});

// "ERROR: could not write <path>: <reason>", or the reason alone when it is a whole message of
// its own; `path` as the user named it.
std::string couldNotWrite(const std::string& path, const std::string& reason);

} // namespace quillfen
