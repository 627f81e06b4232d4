// The repair copy of a file written in place: its layout, and when it is honoured.
#include "host/repair_copy.h"

#include "host/durable_calls.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <vector>

namespace quillfen {
namespace {

using Bytes = std::vector<unsigned char>;

// The copy's layout, each number in 8 bytes, least significant first: the mark, the device and
// id of the file it protects, the lengths of the old and of the new bytes, the old bytes, the new
// bytes, and the check of everything before it.
constexpr std::string_view kMark = "Quillfen repair\x1A";
constexpr std::size_t kDeviceAt = kMark.size(), kIdAt = kDeviceAt + 8, kOldSizeAt = kIdAt + 8,
                      kNewSizeAt = kOldSizeAt + 8, kBytesAt = kNewSizeAt + 8, kCheckSize = 8;

// FNV-1a, 64 bits: a copy cut short, or written by anything else, fails it.
std::uint64_t checkOf(std::span<const unsigned char> bytes) {
    std::uint64_t hash = 14695981039346656037ULL;
    for (unsigned char byte : bytes) {
        hash ^= byte;
        hash *= 1099511628211ULL;
    }
    return hash;
}

void put(Bytes& out, std::uint64_t value) {
    for (int shift = 0; shift < 64; shift += 8)
        out.push_back(static_cast<unsigned char>(value >> shift));
}

std::uint64_t get(std::span<const unsigned char> bytes, std::size_t at) {
    std::uint64_t value = 0;
    for (std::size_t i = 8; i-- > 0;)
        value = (value << 8) | bytes[at + i];
    return value;
}

struct RepairCopy {
    std::uint64_t device = 0, id = 0;
    std::span<const unsigned char> old, written;
};

// The copy that `bytes` hold; none when they are not a whole copy of this program's.
std::optional<RepairCopy> parsed(std::span<const unsigned char> bytes) {
    if (bytes.size() < kBytesAt + kCheckSize ||
        !std::equal(kMark.begin(), kMark.end(), bytes.begin()) ||
        get(bytes, bytes.size() - kCheckSize) != checkOf(bytes.first(bytes.size() - kCheckSize)))
        return std::nullopt;
    std::uint64_t oldSize = get(bytes, kOldSizeAt), newSize = get(bytes, kNewSizeAt);
    std::uint64_t held = bytes.size() - kBytesAt - kCheckSize;
    if (oldSize > held || newSize != held - oldSize)
        return std::nullopt;
    return RepairCopy{get(bytes, kDeviceAt), get(bytes, kIdAt), bytes.subspan(kBytesAt, oldSize),
                      bytes.subspan(kBytesAt + oldSize, newSize)};
}

// Whether a write of `copy.written` over `copy.old` (or the undoing of one) that was stopped
// could have left `now`: the space for the longer is taken first, as zeros, then the bytes are
// written over from the start, then the length is cut.
bool couldBeLeftBy(const RepairCopy& copy, std::span<const unsigned char> now) {
    if (now.size() != copy.old.size() && now.size() != copy.written.size())
        return false;
    for (std::size_t i = 0; i < now.size(); ++i) {
        bool old = i < copy.old.size() ? now[i] == copy.old[i] : now[i] == 0;
        if (!old && !(i < copy.written.size() && now[i] == copy.written[i]))
            return false;
    }
    return true;
}

// Renames the copy at `undo` to the first free "<undo>.set-aside-N".
Result<std::string> setAside(const std::string& undo) {
    for (int n = 1; n < 1000; ++n) {
        std::string aside = undo + ".set-aside-" + std::to_string(n);
        auto moved = renameNew(undo, aside);
        if (!moved)
            return Error{moved.error()};
        if (*moved)
            return aside;
    }
    return Error{"no free name to set " + undo + " aside"};
}

} // namespace

std::string undoPathOf(const std::string& path) {
    return pathIn(folderOf(path), std::string(kOwnPrefix) + fileNameOf(path) + ".undo");
}

Status keepRepairCopy(const OpenFile& file, const std::string& path,
                      std::span<const unsigned char> old, std::span<const unsigned char> bytes) {
    auto info = file.info();
    if (!info)
        return Error{info.error()};
    Bytes copy(kMark.begin(), kMark.end());
    for (std::uint64_t value :
         {info->device, info->id, std::uint64_t{old.size()}, std::uint64_t{bytes.size()}})
        put(copy, value);
    copy.insert(copy.end(), old.begin(), old.end());
    copy.insert(copy.end(), bytes.begin(), bytes.end());
    put(copy, checkOf(copy));
    const std::string folder = folderOf(path), undo = undoPathOf(path);
    auto made = writeTemporaryFile(folder, copy, FileKind::of(file));
    if (!made)
        return Error{made.error()};
    auto moved = renameNew(*made, undo);
    if (!moved || !*moved) {
        removeFile(*made);
        return Error{moved ? undo + " is there already" : moved.error()};
    }
    if (auto synced = syncFolder(folder); !synced) {
        removeFile(undo);
        return synced;
    }
    return success();
}

Status repairIfStopped(const OpenFile* file, const std::string& path) {
    const std::string undo = undoPathOf(path);
    // A file whose name is near the longest has no room for a copy beside it.
    if (nameTooLong(undo))
        return success();
    auto found = pathInfo(undo, false);
    if (!found)
        return Error{found.error()};
    if (found->kind == EntryKind::Missing)
        return success();
    std::optional<Bytes> held;
    if (found->kind == EntryKind::File)
        if (auto opened = OpenFile::open(undo, false))
            if (auto bytes = readAll(*opened, SIZE_MAX))
                held = std::move(*bytes);
    auto copy = held ? parsed(*held) : std::nullopt;
    if (copy && file) {
        auto info = file->info();
        auto now = readAll(*file, SIZE_MAX);
        if (info && now && info->device == copy->device && info->id == copy->id &&
            couldBeLeftBy(*copy, *now)) {
            // The file may have been opened only to be read.
            auto writable = OpenFile::open(path, true);
            if (!writable)
                return Error{writable.error()};
            if (auto put = writable->replaceAll(copy->old); !put)
                return put;
            if (auto dropped = dropUndo(path); !dropped)
                return dropped;
            if (auto synced = syncFolder(folderOf(path)); !synced)
                return synced;
            return Error{restoredFile(path)};
        }
    }
    auto aside = setAside(undo);
    if (!aside)
        return Error{aside.error()};
    return Error{"ERROR: " + undo + " is no copy that this program made of " + path +
                 " as it is now, so nothing was put back from it; it was set aside as " + *aside +
                 ". Nothing else was done: try again"};
}

Status dropUndo(const std::string& path) {
    std::string undo = undoPathOf(path);
    if (durableCallFails(DurableCall::Remove, undo) || !removeFile(undo))
        return Error{"the copy " + fileNameOf(undo) + " could not be removed"};
    return success();
}

} // namespace quillfen
