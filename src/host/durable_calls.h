#pragma once

#include <string>

namespace quillfen {

// The calls on which a save's durability rests: the flush of a file's bytes, the flush of a
// folder's entries, and the rename that puts a new file in place.
enum class DurableCall { FlushFile, FlushFolder, Rename };

// Sees each durable call before the host layer makes it, and may make it fail. Nothing else
// shows whether a save flushed its files, so tests set one; a program never does.
class DurableCallObserver {
public:
    virtual ~DurableCallObserver() = default;
    // `path` is the file flushed (empty for a file opened in place), the folder flushed, or the
    // rename's target. True makes the call fail as an input/output error would.
    virtual bool fails(DurableCall call, const std::string& path) = 0;
};

// Sets the process's observer (null for none) and gives the one it replaces.
DurableCallObserver* observeDurableCalls(DurableCallObserver* observer);

// For the platform halves: tells the observer of a call about to be made; true when it must
// fail.
bool durableCallFails(DurableCall call, const std::string& path);

} // namespace quillfen
