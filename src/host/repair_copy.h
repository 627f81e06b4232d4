#pragma once

// The repair copy of a file written in place (host layer only): what the file held and what was
// being written over it, kept beside it until the write is done, so that a write stopped in
// between is undone. Only this program's copy, made for the file as it is now, is honoured.

#include "common/result.h"
#include "host/file_io.h"

#include <span>
#include <string>

namespace quillfen {

// Where the repair copy of the file at `path` (no link) is kept: ".quillfen~", the file's name,
// ".undo". While it is there, the file may be half written.
std::string undoPathOf(const std::string& path);

// Puts the repair copy of `file`, open at `path`, on the disk beside it: the file's identity,
// its `old` bytes and the `bytes` about to be written over them. Refused, and nothing left,
// when a copy is there already or it cannot be written.
Status keepRepairCopy(const OpenFile& file, const std::string& path,
                      std::span<const unsigned char> old, std::span<const unsigned char> bytes);

// Looks for a repair copy beside the file at `path` (no link; `file` is it, open and locked, or
// null when nothing is there), under its folder's lock. None: success. One that this program made
// for this file, which still holds only what the stopped write could have left: the file is put
// back as it was before that write and the copy removed, refused once with restoredFile. Any
// other is set aside under a free name (never removed), refused once with the names of both.
Status repairIfStopped(const OpenFile* file, const std::string& path);

// Removes the repair copy of the file at `path` once the file is complete; the folder is still
// to be flushed.
Status dropUndo(const std::string& path);

} // namespace quillfen
