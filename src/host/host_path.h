#pragma once

// Host paths are split and joined here and nowhere else. On Windows a path separates its names
// with "\" or "/" and may begin with a drive ("C:"); on other systems "/" alone separates them.

#include <string>
#include <vector>

namespace quillfen {

// Whether `c` ends a folder's name in a path: '/', and on Windows '\\' too.
bool isSeparator(char c);

// The folder part of a path: "." for a bare name, the drive alone for "C:NAME", the root itself
// for a name in it ("/", "C:\").
std::string folderOf(const std::string& path);
// The name after the folder's last separator (or after the drive): the whole path for a bare
// name, empty when it ends in a separator.
std::string fileNameOf(const std::string& path);
// The file's name without its extension (from its last "."); the whole name when it has none.
std::string stemOf(const std::string& path);

// The drive that begins the path ("C:"); empty on systems without drives or for a path without one.
std::string driveOf(const std::string& path);
// Whether the path starts at a root ("/", "C:\\") and needs no working folder to be read.
bool isRootedPath(const std::string& path);
// The names of the folders and the file of a path after its drive and root, empty names dropped:
// "/a//b/" gives "a", "b".
std::vector<std::string> namesOf(const std::string& path);

// The path of `name` in `folder`: the two joined by the host's separator, also behind a folder
// that ends in one, as the game's editor joined them.
std::string pathIn(const std::string& folder, const std::string& name);

} // namespace quillfen
