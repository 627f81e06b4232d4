// The parts of the host layer that every platform shares.
#include "host/file_io.h"

#include "host/durable_calls.h"
#include "host/repair_copy.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <set>
#include <utility>

namespace quillfen {
namespace {

DurableCallObserver* durableCallObserver = nullptr;

// The folders whose locks this thread holds, by their identity on the host.
thread_local std::set<std::pair<std::uint64_t, std::uint64_t>> heldFolders;

// Only the names writeTemporaryFile gives, so that no file of the user's is ever removed.
bool isTemporaryName(std::string_view name) {
    constexpr std::size_t kLetters = 6;
    if (name.size() != kOwnPrefix.size() + kLetters + kTemporarySuffix.size() ||
        !name.starts_with(kOwnPrefix) || !name.ends_with(kTemporarySuffix))
        return false;
    return std::all_of(name.begin() + kOwnPrefix.size(), name.end() - kTemporarySuffix.size(),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)); });
}

bool hasUndo(const std::string& path) {
    auto info = pathInfo(undoPathOf(path), false);
    return !info || info->kind != EntryKind::Missing;
}

} // namespace

DurableCallObserver* observeDurableCalls(DurableCallObserver* observer) {
    return std::exchange(durableCallObserver, observer);
}

bool durableCallFails(DurableCall call, const std::string& path) {
    return durableCallObserver && durableCallObserver->fails(call, path);
}

std::string systemReason(int error) {
    return std::strerror(error);
}

std::string fileTooLong(std::size_t limit) {
    return "the file is more than " + std::to_string(limit) + " bytes long";
}

Status checkLength(std::uint64_t size, std::size_t limit) {
    if (size <= limit)
        return success();
    return Error{"the file is " + std::to_string(size) + " bytes long, more than " +
                 std::to_string(limit)};
}

std::string notAFile(const std::string& path) {
    return "ERROR: " + path + " is not a file";
}

std::string explained(const std::string& what, const std::string& reason) {
    return reason.starts_with("ERROR: ") ? reason : what + reason;
}

std::vector<std::string> subfoldersOf(const std::string& folder) {
    std::vector<std::string> names;
    for (const FolderEntry& entry : listFolder(folder))
        if (entry.kind == EntryKind::Folder)
            names.push_back(entry.name);
    auto lower = [](char c) {
        return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    };
    std::sort(names.begin(), names.end(), [&](const std::string& a, const std::string& b) {
        return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                            [&](char x, char y) { return lower(x) < lower(y); });
    });
    std::vector<std::string> paths;
    for (const std::string& name : names)
        paths.push_back(pathIn(folder, name));
    return paths;
}

bool isFolder(const std::string& path) {
    auto info = pathInfo(path);
    return info && info->kind == EntryKind::Folder;
}

bool pathExists(const std::string& path) {
    auto info = pathInfo(path);
    return info && info->kind != EntryKind::Missing;
}

Status makeFolder(const std::string& folder) {
    if (isFolder(folder))
        return success();
    if (std::string parent = folderOf(folder); parent != folder)
        if (auto made = makeFolder(parent); !made)
            return made;
    // One that another program made meanwhile serves as well.
    if (auto made = createFolder(folder); !made && !isFolder(folder))
        return made;
    return success();
}

Result<bool> sameFile(const std::string& a, const std::string& b) {
    auto first = pathInfo(a);
    if (!first)
        return Error{first.error()};
    auto second = pathInfo(b);
    if (!second)
        return Error{second.error()};
    if (first->kind == EntryKind::Missing || second->kind == EntryKind::Missing)
        return false;
    return first->device == second->device && first->id == second->id;
}

Result<std::vector<unsigned char>> readWholeFile(const std::string& path, std::size_t maxBytes,
                                                 OpenFor how) {
    auto file = openFile(path, how);
    if (!file)
        return Error{file.error()};
    return readAll(*file, maxBytes);
}

Result<std::vector<unsigned char>> readAll(const OpenFile& file, std::size_t maxBytes) {
    if (auto fits = checkLength(file.size(), maxBytes); !fits)
        return fits.failure();
    // One byte more than the size, so that a file that grew meanwhile is noticed.
    auto bytes = file.readAt(0, static_cast<std::size_t>(file.size()) + 1);
    if (bytes && bytes->size() > maxBytes)
        return Error{fileTooLong(maxBytes)};
    return bytes;
}

std::string restoredFile(const std::string& path) {
    std::string name = fileNameOf(path);
    return "ERROR: a write of " + name + " was stopped before it ended; " + name +
           " was put back as it was before that write. Nothing else was done: try again";
}

Result<OpenFile> openFile(const std::string& path, OpenFor how) {
    auto file = OpenFile::open(path, how == OpenFor::Writing);
    if (!file || how == OpenFor::Reading)
        return file;
    // A write in place that was stopped left its repair copy beside the file it writes; a write
    // that is still going holds the folder's lock and the file's, so the copy is looked at again
    // under them.
    auto target = linkTarget(path);
    if (!target || !hasUndo(*target))
        return file;
    auto lock = lockFolder(folderOf(*target));
    if (!lock)
        return Error{lock.error()};
    auto locked = openLocked(*target, how == OpenFor::Writing);
    if (!locked)
        return locked;
    if (auto repaired = repairIfStopped(&*locked, *target); !repaired)
        return Error{repaired.error()};
    // The file as first opened, which holds no lock that a later write of it would wait for.
    return file;
}

Result<OpenFile> openLocked(const std::string& path, bool forWriting) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        auto file = OpenFile::open(path, forWriting);
        if (!file)
            return file;
        if (auto locked = file->lock(); !locked)
            return Error{locked.error()};
        auto held = file->info();
        if (!held)
            return Error{held.error()};
        auto named = pathInfo(path);
        if (!named)
            return Error{named.error()};
        if (named->device == held->device && named->id == held->id)
            return file;
    }
    return Error{kFileBusy};
}

FolderLock::FolderLock(FolderLock&& other) noexcept
    : lock_(std::exchange(other.lock_, -1)), folder_(other.folder_) {}

FolderLock::~FolderLock() {
    if (lock_ == -1)
        return;
    heldFolders.erase(folder_);
    giveUp(lock_);
}

Result<FolderLock> lockFolder(const std::string& folder) {
    auto info = pathInfo(folder);
    if (!info)
        return Error{info.error()};
    if (info->kind != EntryKind::Folder)
        return Error{systemReason(info->kind == EntryKind::Missing ? ENOENT : ENOTDIR)};
    FolderLock::Identity identity{info->device, info->id};
    if (heldFolders.contains(identity))
        return FolderLock(-1, identity);
    auto lock = FolderLock::take(folder, *info);
    if (!lock)
        return Error{lock.error()};
    heldFolders.insert(identity);
    // Every temporary is made by a program that holds its folder's lock: the ones found now
    // were left by programs that were stopped.
    for (const FolderEntry& entry : listFolder(folder)) {
        std::string path = pathIn(folder, entry.name);
        if (isTemporaryName(entry.name))
            if (auto found = pathInfo(path, false); found && found->kind == EntryKind::File)
                removeFile(path);
    }
    return FolderLock(*lock, identity);
}

} // namespace quillfen
