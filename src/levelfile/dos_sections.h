#pragma once

#include "common/result.h"

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quillfen::levelfile {

// The DOS game's compressed files (level packs, VGAGRn.DAT pictures): sections back to back,
// each a 10-byte header (bit count, checksum, then the unpacked size and the packed size with
// the header, as 32-bit big-endian values) and the compressed bytes of one section.
inline constexpr std::size_t kSectionHeaderSize = 10;

// Every section of `file`, unpacked, in order. A pure function over the file's bytes. `piece`
// names what a section holds in the reasons ("level"); `unpackedSize`, when given, is the size
// every section must unpack to. The whole file is refused, with the section's number and byte
// offset, when any section is damaged: a short header, a packed size outside the file, a bit
// count above 8, a wrong checksum, an unpacked size other than `unpackedSize` (or, without it,
// more than its bytes can give), a stream that ends early or late or copies from beyond the
// section, or stray bytes after the last section.
Result<std::vector<std::vector<unsigned char>>>
unpackSections(std::span<const unsigned char> file, std::string_view piece,
               std::optional<std::size_t> unpackedSize = std::nullopt);

// A section's number as the reasons and the files made from it give it: two digits at least.
std::string twoDigits(std::size_t n);

} // namespace quillfen::levelfile
