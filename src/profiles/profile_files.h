#pragma once

#include "common/result.h"

#include <cstdint>
#include <string>

namespace quillfen {

inline constexpr char kFoundDirectory[] = "found a directory instead of a file!";

// Whether the host path names a file-system entry, a file or a folder.
bool FileExists(const std::string& hostPath);

// The low 32 bits of the length of the file at the host path; 0 when there is none or when its
// name begins with ".". Refused with kFoundDirectory for a folder.
Result<std::uint32_t> GetFileLength(const std::string& hostPath);

} // namespace quillfen
