#pragma once

// What both POSIX files of the host layer share (POSIX only): descriptors that close
// themselves, errno values as errors, whole writes and flushes.

#include "common/result.h"
#include "host/durable_calls.h"
#include "host/file_io.h"

#include <cerrno>
#include <span>
#include <string>
#include <unistd.h>

namespace quillfen {

// Closes a descriptor when it goes out of scope.
struct Descriptor {
    int fd = -1;
    ~Descriptor() {
        if (fd >= 0)
            ::close(fd);
    }
};

inline Error failure(int error) {
    return Error{systemReason(error)};
}

// Writes all of `bytes` at `offset` (at the file's position when negative); 0, or the errno of
// the write that failed.
inline int writeAll(int fd, std::span<const unsigned char> bytes, off_t offset = -1) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = offset < 0 ? ::write(fd, bytes.data() + done, bytes.size() - done)
                               : ::pwrite(fd, bytes.data() + done, bytes.size() - done,
                                          offset + static_cast<off_t>(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

// Flushes a file's bytes, or a folder's entries, to the disk; 0, or the errno of the flush.
inline int flush(int fd, DurableCall call, const std::string& path) {
    if (durableCallFails(call, path))
        return EIO;
    return ::fsync(fd) == 0 ? 0 : errno;
}

} // namespace quillfen
