#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quillfen {

// Whether a Windows path (Windows-1252 bytes) begins with a drive ("C:").
bool hasDriveLetter(std::string_view windowsPath);

// Whether a Windows path names its drive and every folder from the drive's
// root ("C:\LEMM\A.DAT", "c:/lemm/a.dat"), so that it needs no working folder to be read.
bool isFullWindowsPath(std::string_view windowsPath);

// The names of the folders and the file of a path below where it starts (the part after a drive
// "C:"), as Windows reads them: empty names and "." dropped, ".." going up but never above the
// start, trailing dots dropped from a folder's name and trailing dots and spaces from the last.
std::vector<std::string_view> windowsNames(std::string_view path);

// Why Windows would take the path for no file on the game's drives: a network or device path
// ("\\server\share"), a device name (CON, PRN, AUX, NUL, COM1-9, LPT1-9, with any extension),
// ':' past the drive, or a character Windows allows in no name. Empty when it would not.
std::string unusableWindowsPath(std::string_view windowsPath);

} // namespace quillfen
