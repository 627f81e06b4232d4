#pragma once

#include "database/result.h"

#include <cstddef>
#include <span>
#include <string>
#include <vector>

namespace quillfen {

// The system's words for an errno value ("No space left on device").
std::string systemReason(int error);

// The whole file, read in one call. Refused (with the system's reason) when it cannot be opened
// or read, and when it is longer than `maxBytes`.
Result<std::vector<unsigned char>> readWholeFile(const std::string& path, std::size_t maxBytes);

// Writes `bytes` complete to a new temporary file in `folder` and, when `sync`, flushes it to
// the disk. Gives the temporary's path; on failure nothing is left behind.
Result<std::string> writeTemporaryFile(const std::string& folder,
                                       std::span<const unsigned char> bytes, bool sync);

// Copies the file at `source` complete to a new temporary file in `folder`, in pieces, and when
// `sync` flushes it to the disk. Gives the temporary's path; on failure nothing is left behind.
Result<std::string> copyToTemporaryFile(const std::string& source, const std::string& folder,
                                        bool sync);

// Renames `from` over `to` and, when `sync`, flushes the folder of `to`.
Status renameOver(const std::string& from, const std::string& to, bool sync);

// Replaces the file at `path` with `bytes` so that it holds either its old or its new bytes,
// whatever happens on the way: a temporary file beside it, then a rename.
Status writeFileAtomically(const std::string& path, std::span<const unsigned char> bytes,
                           bool sync = true);

// The folder part of a path ("." for a bare name).
std::string folderOf(const std::string& path);

} // namespace quillfen
