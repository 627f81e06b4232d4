// The host layer on Windows: how a file is replaced. Temporaries beside it, renames that
// replace it, and the lock of a folder that writes wait for.
#include "host/file_io.h"
#include "host/windows_handles.h"
#include "host/windows_text.h"

#include <chrono>
#include <functional>

namespace quillfen {
namespace {

// Six letters or digits for a temporary's name, different at each call.
std::string temporarySuffix() {
    static std::uint64_t counter = 0;
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    std::uint64_t seed = static_cast<std::uint64_t>(now.QuadPart) * 6364136223846793005ULL +
                         ::GetCurrentProcessId() * 1442695040888963407ULL + ++counter;
    constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::string suffix;
    for (int i = 0; i < 6; ++i) {
        seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
        suffix += kLetters[(seed >> 33) % 62];
    }
    return suffix;
}

// A new temporary file in `folder`, filled by `fill` (which gives 0 or an error), flushed when
// `sync`, and closed. Gives its path; on failure it is removed again.
Result<std::string> makeTemporaryFile(const std::string& folder, bool sync,
                                      const std::function<DWORD(HANDLE)>& fill) {
    std::string name;
    Handle file;
    for (int attempt = 0; attempt < 100 && file.handle == INVALID_HANDLE_VALUE; ++attempt) {
        name = pathIn(folder,
                      std::string(kOwnPrefix) + temporarySuffix() + std::string(kTemporarySuffix));
        file.handle = ::CreateFileW(widened(name).c_str(), GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file.handle == INVALID_HANDLE_VALUE && ::GetLastError() != ERROR_FILE_EXISTS)
            return lastFailure();
    }
    if (file.handle == INVALID_HANDLE_VALUE)
        return failure(ERROR_FILE_EXISTS);
    auto fail = [&](DWORD error) {
        ::CloseHandle(file.release());
        removeFile(name);
        return failure(error);
    };
    if (DWORD error = fill(file.handle))
        return fail(error);
    if (DWORD error = sync ? flush(file.handle, name) : 0)
        return fail(error);
    if (!::CloseHandle(file.release())) {
        removeFile(name);
        return lastFailure();
    }
    return name;
}

} // namespace

Result<std::string> writeTemporaryFile(const std::string& folder,
                                       std::span<const unsigned char> bytes, const FileKind&,
                                       bool sync) {
    return makeTemporaryFile(folder, sync, [&](HANDLE file) { return writeAll(file, bytes, 0); });
}

Result<std::string> copyToTemporaryFile(const OpenFile& source, const std::string& folder,
                                        std::size_t limit) {
    if (auto fits = checkLength(source.size(), limit); !fits)
        return fits.failure();
    bool tooLong = false;
    std::string readError;
    auto copied = makeTemporaryFile(folder, true, [&](HANDLE file) -> DWORD {
        for (std::uint64_t done = 0;;) {
            auto piece = source.readAt(done, 1 << 16);
            if (!piece) {
                readError = piece.error();
                return ERROR_READ_FAULT;
            }
            if (piece->empty())
                return 0;
            if (done + piece->size() > limit) {
                tooLong = true;
                return ERROR_FILE_TOO_LARGE;
            }
            if (DWORD error = writeAll(file, *piece, done))
                return error;
            done += piece->size();
        }
    });
    if (tooLong)
        return Error{fileTooLong(limit)};
    if (!readError.empty())
        return Error{readError};
    return copied;
}

Status renameOver(const std::string& from, const std::string& to) {
    if (durableCallFails(DurableCall::Rename, to))
        return failure(ERROR_WRITE_FAULT);
    std::wstring source = widened(from), target = widened(to);
    // The replaced file's attributes and security go over to the new one; where the file
    // system cannot replace so, a plain move takes its place.
    if (::GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES &&
        ::ReplaceFileW(target.c_str(), source.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                       nullptr, nullptr))
        return success();
    if (!::MoveFileExW(source.c_str(), target.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return lastFailure();
    return success();
}

Result<bool> renameNew(const std::string& from, const std::string& to) {
    if (durableCallFails(DurableCall::Rename, to))
        return failure(ERROR_WRITE_FAULT);
    // Without MOVEFILE_REPLACE_EXISTING the move is refused where anything is.
    if (::MoveFileExW(widened(from).c_str(), widened(to).c_str(), MOVEFILE_WRITE_THROUGH))
        return true;
    DWORD error = ::GetLastError();
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS)
        return false;
    return failure(error);
}

Status syncFolder(const std::string&) {
    // MOVEFILE_WRITE_THROUGH and ReplaceFileW have the entries on the disk already.
    return success();
}

Result<std::intptr_t> FolderLock::take(const std::string&, const PathInfo& info) {
    // A mutex named after the folder's identity, so that no file is left in the folder and
    // every spelling of its path meets the same lock; Windows gives it up when the program ends.
    std::wstring name =
        L"Local\\quillfen-folder-" + std::to_wstring(info.device) + L"-" + std::to_wstring(info.id);
    HANDLE mutex = ::CreateMutexW(nullptr, FALSE, name.c_str());
    if (mutex == nullptr)
        return lastFailure();
    auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(kLockWait).count();
    DWORD waited = ::WaitForSingleObject(mutex, static_cast<DWORD>(wait));
    // An abandoned mutex was held by a program that ended: it is this one's now.
    if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED)
        return reinterpret_cast<std::intptr_t>(mutex);
    DWORD error = ::GetLastError();
    ::CloseHandle(mutex);
    if (waited == WAIT_TIMEOUT)
        return Error{kFolderBusy};
    return failure(error);
}

void FolderLock::giveUp(std::intptr_t lock) {
    auto mutex = reinterpret_cast<HANDLE>(lock);
    ::ReleaseMutex(mutex);
    ::CloseHandle(mutex);
}

} // namespace quillfen
