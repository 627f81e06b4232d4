#pragma once

#include "common/result.h"
#include "host/file_io.h"
#include "levelfile/dos_sections.h"
#include "levelfile/level_file.h"

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quillfen::levelfile {

// Far more than the largest pack (47 sections of at most 2 KiB); a longer file is no pack.
inline constexpr std::size_t kLargestPack = std::size_t{1} << 24;

// Every level of a DOS level pack (a file of compressed sections, see unpackSections), unpacked
// to its 2048 bytes, in section order. The whole pack is refused as unpackSections refuses it,
// and when a section's unpacked size is not 2048.
Result<std::vector<std::vector<unsigned char>>>
unpackLevelPack(std::span<const unsigned char> pack);

// Whether the pack named `packName` is the sequel's: `sequel` says so, or the name begins with
// "DLVEL" in any case.
bool isSequelPack(const std::string& packName, bool sequel);

// Gives a level of the sequel's packs its graphics set in the Windows game's numbering: the
// sequel's sets 0-3 are the Windows game's 5-8.
void renumberSequelSet(std::span<unsigned char> level);

// The name of a file made from one of the pack's sections: "<stem>_<nn><extension>".
std::string sectionFileName(const std::string& packName, std::size_t section,
                            std::string_view extension);

// One level file that an import writes (or finds already written).
struct PlannedLevel {
    std::size_t section = 0;
    std::string fileName;             // "<PACK>_<nn>.LVL", Windows-1252 as the profile keeps it
    std::vector<unsigned char> bytes; // as written: the sequel's graphics set renumbered
    LevelInfo info;
    bool reused = false; // a file of that name already holds exactly these bytes
    // The name is a symbolic link to a file that holds another level, or to nothing: an import
    // never writes through it.
    bool link = false;
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

// The plan of copying level files (each with its name and bytes) into `folder`, as adding
// levels to a group does, writing nothing: a file of the level's name there that holds the same
// bytes is used as it is; one that holds other bytes (or is a link) is never written over, and
// the level takes the first free name "<stem>_2<extension>", "<stem>_3<extension>"... cut to
// fit a profile's 38 characters. Gives the plan, each level's name being the one it takes.
ImportPlan planCopies(std::vector<PlannedLevel> levels, const std::string& folder);

// The plan as the user reads it before importing: what is written, what is already there, what
// is skipped and why, each level's problems, and the conflicts that stop the import.
std::string importReport(const ImportPlan& plan);

// What an import does with a planned file that holds another level.
enum class OnConflict { Refuse, Replace };

// A level file that an import made or replaced, as it stood right after the write: what tells it
// from a file that another program wrote, changed or took up since.
struct WrittenLevel {
    std::string path;
    PathInfo written;
    // The bytes of the file that a Replace wrote over; none for a file the import made.
    std::optional<std::vector<unsigned char>> replaced = std::nullopt;
};

// Writes the plan's level files, each complete or not at all, as one step that holds the
// folder's lock: every planned file is checked against the disk again first, and no other
// import or write into the folder comes in between. A file that holds the same bytes is kept
// and marked as taken up (its time made now), so that the import that wrote it no longer takes
// it back. A file of one of the plan's names that holds other bytes (now or when planned)
// refuses the import before anything is written, or with Replace is replaced, its old bytes kept
// as "<name>_backup"; a symbolic link is never written through, and refuses it either way. A new
// file never takes the place of anything that appeared meanwhile. When a write fails, the files
// this call has written are removed again and the ones it replaced put back, so the folder's
// level files are as they were. Gives the files it made and those it replaced.
Result<std::vector<WrittenLevel>> writeImport(const ImportPlan& plan,
                                              OnConflict onConflict = OnConflict::Refuse);

// Takes back level files that an import made or replaced, each under its folder's lock and only
// while it is still the file written then (the same file, length and time): a made file is
// removed, a replaced one gets its old bytes back through the one write, and its "<name>_backup"
// goes while it holds those same bytes. One that another import
// found and took up, or that anything changed, is left. Gives the paths of those left.
std::vector<std::string> takeBack(const std::vector<WrittenLevel>& files);

} // namespace quillfen::levelfile
