#pragma once

#include <string>
#include <string_view>

namespace quillfen {

// The host path at which Wine finds a Windows path (UTF-8) of the prefix: the drive
// through the prefix's dosdevices/ links ("c:" -> ../drive_c), then each name as Windows reads it
// (windowsNames) matched without regard to case against the real folder entries.
// An existing entry keeps its own spelling; from the first name that is missing on, the given
// spelling is kept. A path beginning with "\" or "/" lies on drive C:, and a path without a drive
// is relative to the working folder.
std::string hostPathInPrefix(const std::string& prefix, std::string_view windowsPath);

// The host path of a relative Windows path (UTF-8) below the host folder `hostFolder`, each name
// found as hostPathInPrefix finds it; `hostFolder` itself when the path names nothing below it.
std::string hostPathBelow(const std::string& hostFolder, std::string_view windowsPath);

} // namespace quillfen
