// The parts of the host layer that every platform shares.
#include "host/file_io.h"

#include "common/windows1252.h"
#include "host/durable_calls.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace quillfen {
namespace {

// A path as the core's texts hold it (Windows-1252), for a message.
std::string pathText(const std::string& path) {
    return utf8ToWindows1252(path).value_or(path);
}

DurableCallObserver* durableCallObserver = nullptr;

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

std::string notAFile(const std::string& path) {
    return "ERROR: " + pathText(path) + " is not a file";
}

std::string explained(const std::string& what, const std::string& reason) {
    return reason.starts_with("ERROR: ") ? reason : what + reason;
}

std::string fileNameOf(const std::string& path) {
    auto separator = std::find_if(path.rbegin(), path.rend(), isSeparator);
    return std::string(separator.base(), path.end());
}

bool isFolder(const std::string& path) {
    auto info = pathInfo(path);
    return info && info->kind == EntryKind::Folder;
}

Result<std::vector<unsigned char>> readWholeFile(const std::string& path, std::size_t maxBytes) {
    auto file = openFile(path);
    if (!file)
        return Error{file.error()};
    if (file->size() > maxBytes)
        return Error{"the file is " + std::to_string(file->size()) + " bytes long, more than " +
                     std::to_string(maxBytes)};
    // One byte more than the size, so that a file that grew meanwhile is noticed.
    auto bytes = file->readAt(0, static_cast<std::size_t>(file->size()) + 1);
    if (bytes && bytes->size() > maxBytes)
        return Error{fileTooLong(maxBytes)};
    return bytes;
}

Status writeFileAtomically(const std::string& path, std::span<const unsigned char> bytes,
                           bool sync) {
    std::string folder = folderOf(path);
    auto lock = lockFolder(folder, false);
    if (!lock)
        return Error{lock.error()};
    auto temporary = writeTemporaryFile(folder, bytes, {}, sync);
    if (!temporary)
        return Error{temporary.error()};
    if (auto renamed = renameOver(*temporary, path); !renamed) {
        removeFile(*temporary);
        return renamed;
    }
    return sync ? syncFolder(folder) : success();
}

void removeLeftTemporaries(const std::string& folder) {
    // The names writeTemporaryFile gives: ".quillfen-" and six letters or digits.
    constexpr std::string_view kPrefix = ".quillfen-";
    for (const FolderEntry& entry : listFolder(folder)) {
        std::string_view name = entry.name;
        if (name.size() != kPrefix.size() + 6 || !name.starts_with(kPrefix) ||
            name.substr(kPrefix.size())
                    .find_first_not_of(
                        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789") !=
                std::string_view::npos)
            continue;
        std::string path = folder + "/" + entry.name;
        if (auto info = pathInfo(path, false); info && info->kind == EntryKind::File)
            removeFile(path);
    }
}

} // namespace quillfen
