#pragma once

#include <span>
#include <string>
#include <vector>

namespace quillfen {

// Every way in which the bytes differ from a well-formed UserDatabase (length, record indexes,
// kind bytes, fixed bytes, zero header bytes, counts, zero padding behind each text, level file
// names that Windows cannot open), one line a problem naming the record and the offset (UTF-8).
// Empty for a well-formed file.
std::vector<std::string> checkDatabaseFile(std::span<const unsigned char> bytes);

} // namespace quillfen
