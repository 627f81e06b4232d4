#pragma once

#include <string>

namespace quillfen {

// The calls on which a save's durability rests: the flush of a file's bytes, the flush of a
// folder's entries, the rename that puts a new file in place; and for a file written in place,
// the write over its bytes, the setting of its length, and the removal of its undo copy.
enum class DurableCall { FlushFile, FlushFolder, Rename, WriteInPlace, SetLength, Remove };

// Sees each durable call before the host layer makes it, and may make it fail. Nothing else
// shows whether a save flushed its files, so tests set one; a program never does.
class DurableCallObserver {
public:
    virtual ~DurableCallObserver() = default;
    // `path` is the file flushed or removed (empty for a file opened in place), the folder
    // flushed, or the rename's target. True makes the call fail as an input/output error would.
    virtual bool fails(DurableCall call, const std::string& path) = 0;
};

// Sets the process's observer (null for none) and gives the one it replaces.
DurableCallObserver* observeDurableCalls(DurableCallObserver* observer);

// For the platform halves: tells the observer of a call about to be made; true when it must
// fail.
bool durableCallFails(DurableCall call, const std::string& path);

} // namespace quillfen
