#pragma once

#include "common/result.h"
#include "host/host_path.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quillfen {

// The refusal of a file name that holds a zero byte, where the system would cut it short.
inline constexpr char kZeroInFileName[] = "the file name holds a zero byte";

// The refusal of a save into a folder that another program is saving into, after waiting this long.
inline constexpr char kFolderBusy[] = "another program is saving into this folder";
inline constexpr auto kLockWait = std::chrono::seconds(3);
// The refusal of a write of a file that another program is writing (through any of its names),
// after waiting as long.
inline constexpr char kFileBusy[] = "another program is saving this file";

// The refusal of a file longer than `limit` bytes.
std::string fileTooLong(std::size_t limit);
// The refusal of a file of `size` bytes where at most `limit` are taken; success when it fits.
Status checkLength(std::uint64_t size, std::size_t limit);

// The system's words for an errno value ("No space left on device").
std::string systemReason(int error);

// The refusal of a path that names neither a file nor a folder (a FIFO, a device, a socket):
// reading one may wait for ever or never come to an end.
std::string notAFile(const std::string& path);

// `what` followed by `reason`, or `reason` alone when it is a whole message of its own (one that
// begins with "ERROR: ", as notAFile gives).
std::string explained(const std::string& what, const std::string& reason);

// Whether the path names a folder (following symbolic links).
bool isFolder(const std::string& path);
// Whether the path names anything that can be looked at (following symbolic links).
bool pathExists(const std::string& path);

// What a path names.
enum class EntryKind { Missing, File, Folder, Link, Other };

struct PathInfo {
    EntryKind kind = EntryKind::Missing;
    std::uint64_t size = 0;
    // When its bytes last changed, in nanoseconds since a fixed moment.
    std::int64_t changed = -1;
    // Together they tell one file from another on this host.
    std::uint64_t device = 0, id = 0;
    std::uint64_t links = 1;
};

// What `path` names, its symbolic links followed unless `followLinks` is false (then a link is
// EntryKind::Link). Missing when nothing is there; refused with the system's reason when it
// cannot be looked at.
Result<PathInfo> pathInfo(const std::string& path, bool followLinks = true);

struct FolderEntry {
    std::string name;
    // The kind of what the entry names, its symbolic links followed.
    EntryKind kind = EntryKind::Missing;
};

// The entries of a folder without "." and ".."; empty when it cannot be read.
std::vector<FolderEntry> listFolder(const std::string& folder);
// The paths of the subfolders of `folder`, hidden ones too, in the order of their names without
// regard to the case of ASCII letters, as a file dialog lists them.
std::vector<std::string> subfoldersOf(const std::string& folder);

// The file that `path` names once its symbolic links are followed; it need not exist, so that a
// link whose target is missing gives that target.
Result<std::string> linkTarget(const std::string& path);

// Whether the file's mode or attributes make it read-only: on POSIX systems the owner's write
// bit is off (for root too, who could write it all the same, as the game's own user would find
// it), on Windows the read-only attribute is set. Whether this program may write it is the
// system's to say when it is opened.
bool isReadOnly(const std::string& path);

// Whether the last name in `path` is longer than its folder's file system allows.
bool nameTooLong(const std::string& path);

// Removes the file at `path`; false when it could not.
bool removeFile(const std::string& path);

// Whether the two paths name one file once their symbolic links are followed, whatever names
// they give it (hard links too); false when either names nothing.
Result<bool> sameFile(const std::string& a, const std::string& b);

// Makes `path` a symbolic link to `target`; refused with the system's reason when anything is
// at `path` already, which is never replaced (and on Windows where links may not be made).
Status makeLink(const std::string& target, const std::string& path);

// Sets the file's modification time to now, so that another program that recorded it sees that
// the file was taken up since. Refused with the system's reason.
Status touchFile(const std::string& path);

// The working folder.
std::string currentFolder();

// The host's fixed drives ("C:", "D:"), in the order of their letters; none on systems without
// drives.
std::vector<std::string> fixedDrives();

// The folder this program keeps its settings in, where the desktop keeps them: on Windows
// %APPDATA%\Quillfen; elsewhere $XDG_CONFIG_HOME/quillfen, or ~/.config/quillfen when that is
// unset or not absolute. The working folder when the environment names neither.
std::string settingsFolder();

// Makes `folder` and the folders above it that are missing; on POSIX systems they are the
// user's alone, as the desktop's configuration folders are. Refused with the system's reason.
Status makeFolder(const std::string& folder);
// Makes the one folder `folder` in a folder that is there, as makeFolder makes each.
Status createFolder(const std::string& folder);
// Removes the folder `folder` when it is empty; false when it holds anything or could not be
// removed.
bool removeEmptyFolder(const std::string& folder);

// The host's Unicode case table: the lower case of a UTF-16 code unit (itself where it has none).
char16_t hostLowerCase(char16_t unit);

// What a file is opened for. Only writeFile's own writes and the loads that ask for it
// (RepairingRead) put back a file that a stopped write in place left half written; a plain
// Reading never writes anything.
enum class OpenFor { Reading, RepairingRead, Writing };

// A regular file, open for reading (and for writing when asked); closed when it goes.
class OpenFile {
public:
    OpenFile(OpenFile&& other) noexcept;
    OpenFile& operator=(OpenFile&&) = delete;
    ~OpenFile();

    // The length it had when it was opened.
    std::uint64_t size() const { return size_; }
    // What the open file is now (its identity, length and time), whatever names it has.
    Result<PathInfo> info() const;
    // Up to `size` bytes at `offset`; fewer when the file ends first.
    Result<std::vector<unsigned char>> readAt(std::uint64_t offset, std::size_t size) const;
    // Writes all of `bytes` at `offset`.
    Status writeAt(std::uint64_t offset, std::span<const unsigned char> bytes);
    // Flushes what was written to the disk.
    Status sync();
    // Takes the space for a file of `size` bytes, where it is longer than the file: the file is
    // that long after it, the new bytes zeros. Refused with the system's reason (a full disk).
    Status reserve(std::uint64_t size);
    // Writes `bytes` over the whole file in place, its length made theirs, and flushes it. The
    // space is taken first, so that a full disk is found before a byte of the file changes.
    Status replaceAll(std::span<const unsigned char> bytes);

private:
    friend Result<OpenFile> openFile(const std::string& path, OpenFor how);
    friend Result<OpenFile> openLocked(const std::string& path, bool forWriting);
    friend Result<std::string> copyToTemporaryFile(const OpenFile& source,
                                                   const std::string& folder, std::size_t limit);
    friend struct FileKind;
    friend Status repairIfStopped(const OpenFile* file, const std::string& path);
    OpenFile(int fd, std::uint64_t size) : fd_(fd), size_(size) {}
    // The platform's open, without a look for a write that was stopped.
    static Result<OpenFile> open(const std::string& path, bool forWriting);
    // The platform's lock of the file itself (flock, LockFileEx), waiting kLockWait at most;
    // given up when the file is closed.
    Status lock();
    int fd_;
    std::uint64_t size_;
};

// Opens the file at `path` without waiting for anything: every reader and writer of databases,
// level files, system.reg and profile.txt opens its file here. Refused with the system's reason
// when it cannot be opened ("Is a directory" for a folder), and with notAFile when it is neither
// a file nor a folder. Opened for RepairingRead or Writing, a file that a write in place left
// half written when it was stopped is first put back as it was from the copy made before that
// write, and refused once with restoredFile, so that the user hears of it.
Result<OpenFile> openFile(const std::string& path, OpenFor how = OpenFor::Reading);

// The whole file, read in one call. Refused (with the system's reason) when it cannot be opened
// or read, and when it is longer than `maxBytes`.
Result<std::vector<unsigned char>> readWholeFile(const std::string& path, std::size_t maxBytes,
                                                 OpenFor how = OpenFor::Reading);

// The whole of an open file, as readWholeFile reads it.
Result<std::vector<unsigned char>> readAll(const OpenFile& file, std::size_t maxBytes);

// Opens the file at `path` (no link) as openFile does, but never repairs it, and takes the
// file's own lock, so that writes of one file through any of its names wait for each other (a
// few seconds at most, then refused with kFileBusy). Once the lock is held the path is looked at
// again, as the holder may have put another file there. The lock goes when the file is closed.
Result<OpenFile> openLocked(const std::string& path, bool forWriting);

// What a new file takes over from the file it replaces.
struct FileKind {
    unsigned mode = 0644;
    bool keepOwner = false;
    std::uint32_t owner = 0, group = 0;

    static FileKind of(const OpenFile& file);
};

// The refusal of a file that was put back after a stopped write in place.
std::string restoredFile(const std::string& path);

// Writes `bytes` complete to a new temporary file in `folder`, of the given kind, and flushes it
// to the disk. Gives the temporary's path; on failure nothing is left behind.
Result<std::string> writeTemporaryFile(const std::string& folder,
                                       std::span<const unsigned char> bytes,
                                       const FileKind& kind = {}, bool sync = true);

// Copies `source` complete to a new temporary file in `folder`, of the source's kind, in pieces,
// and flushes it to the disk. Refused when the source holds more than `limit` bytes. Gives the
// temporary's path; on failure nothing is left behind.
Result<std::string> copyToTemporaryFile(const OpenFile& source, const std::string& folder,
                                        std::size_t limit);

// Renames `from` over `to`: on Windows the file it replaces gives `to` its attributes and
// security, and the new bytes are on the disk before the name changes.
Status renameOver(const std::string& from, const std::string& to);

// Renames `from` to `to` only where nothing is: false, and nothing renamed, when something is
// there, however it came there meanwhile.
Result<bool> renameNew(const std::string& from, const std::string& to);

// Flushes a folder's entries to the disk after a rename. A file system that cannot flush a
// folder is no failure.
Status syncFolder(const std::string& folder);

// The names of the host layer's own files in a folder begin with this, which no user types:
// temporaries are kOwnPrefix, six letters or digits and kTemporarySuffix.
inline constexpr std::string_view kOwnPrefix = ".quillfen~";
inline constexpr std::string_view kTemporarySuffix = ".tmp";

// A held folder lock; given up when it goes, or when the program ends however it ends. It leaves
// no file behind. A thread that holds a folder's lock already gets a lock that holds nothing, so
// that a write may run inside a step that holds its folder.
class FolderLock {
public:
    FolderLock(FolderLock&& other) noexcept;
    FolderLock& operator=(FolderLock&&) = delete;
    ~FolderLock();

private:
    friend Result<FolderLock> lockFolder(const std::string& folder);
    using Identity = std::pair<std::uint64_t, std::uint64_t>;
    FolderLock(std::intptr_t lock, Identity folder) : lock_(lock), folder_(folder) {}
    // The platform's lock of a folder (a descriptor, a mutex) and its release.
    static Result<std::intptr_t> take(const std::string& folder, const PathInfo& info);
    static void giveUp(std::intptr_t lock);
    std::intptr_t lock_;
    Identity folder_;
};

// Takes the lock of `folder` for this thread alone, waiting a few seconds for a program that
// holds it, and removes the temporaries that stopped programs left there. Refused with the
// reason when it cannot be had.
Result<FolderLock> lockFolder(const std::string& folder);

} // namespace quillfen
