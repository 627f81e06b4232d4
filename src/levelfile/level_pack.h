#pragma once

#include "common/result.h"
#include "levelfile/level_file.h"

#include <cstddef>
#include <span>
#include <string>
#include <vector>

namespace quillfen::levelfile {

// A DOS level pack: sections back to back, each a 10-byte header (bit count, checksum, a zero
// word, the unpacked size, a zero word, the packed size with the header; words big-endian) and
// the compressed bytes of one level.
inline constexpr std::size_t kSectionHeaderSize = 10;

// Every level of the pack, unpacked to its 2048 bytes, in section order. A pure function over
// the pack's bytes. The whole pack is refused, with the section's number and byte offset, when
// any section is damaged: a short header, a packed size outside the file, a bit count above 8,
// a wrong checksum, an unpacked size other than 2048, a stream that ends early or late or
// copies from beyond the level, or stray bytes after the last section.
Result<std::vector<std::vector<unsigned char>>>
unpackLevelPack(std::span<const unsigned char> pack);

// One level file that an import writes (or finds already written).
struct PlannedLevel {
    std::size_t section = 0;
    std::string fileName;             // "<PACK>_<nn>.LVL", Windows-1252 as the profile keeps it
    std::vector<unsigned char> bytes; // as written: the sequel's graphics set renumbered
    LevelInfo info;
    bool reused = false; // a file of that name already holds exactly these bytes
};

// A section whose level is not imported, and why.
struct SkippedSection {
    std::size_t section = 0;
    std::string reason;
};

// What importing a pack will do, worked out before anything is written.
struct ImportPlan {
    std::string packName; // Windows-1252
    std::string setName;  // the pack's name without its extension: the name a new set gets
    std::string folder;   // host path of the folder the level files go to
    std::vector<PlannedLevel> levels;
    std::vector<SkippedSection> skipped;
    std::vector<std::string> conflicts; // names of files that hold other bytes: no import
};

// Reads, checks and unpacks the pack at `packPath` into the plan of the level files to write
// into `folder`, writing nothing. `sequel` marks a pack of the sequel, whose graphics sets 0-3
// are the Windows game's 5-8 (also assumed when the pack's name starts with "DLVEL"). Levels
// with special graphics are skipped: the Windows game draws no terrain for them. Refused with
// the user's message when the pack cannot be read or is damaged, or the folder is not there.
Result<ImportPlan> planImport(const std::string& packPath, bool sequel, const std::string& folder);

// The plan as the user reads it before importing: what is written, what is already there, what
// is skipped and why, each level's problems, and the conflicts that stop the import.
std::string importReport(const ImportPlan& plan);

// What an import does with a planned file that holds another level.
enum class OnConflict { Refuse, Replace };

// Writes the plan's level files, each complete or not at all, as one step that holds the
// folder's lock: every planned file is checked against the disk again first, and no other
// import or write into the folder comes in between. A file that holds the same bytes is kept.
// A file of one of the plan's names that holds other bytes (now or when planned) refuses the
// import before anything is written, or with Replace is replaced, its old bytes kept as
// "<name>_backup". When a write fails, the files this call has written are removed again and
// the ones it replaced put back, so the folder's level files are as they were.
Status writeImport(const ImportPlan& plan, OnConflict onConflict = OnConflict::Refuse);

} // namespace quillfen::levelfile
