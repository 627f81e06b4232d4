#include "editor/history.h"

#include "host/file_io.h"

namespace quillfen {

Status makeGroupFolder(const std::string& folder, std::string& made) {
    if (isFolder(folder))
        return success();
    if (Status done = createFolder(folder); !done)
        return Error{"ERROR: cannot make the folder " + folder + ": " + done.error()};
    made = folder;
    return success();
}

Status History::Step::copyAgain() {
    if (copies.levels.empty())
        return success();
    if (std::string again; !madeFolder.empty())
        if (Status made = makeGroupFolder(madeFolder, again); !made)
            return made;
    auto written =
        levelfile::writeImport(copies, copies.conflicts.empty() ? levelfile::OnConflict::Refuse
                                                                : levelfile::OnConflict::Replace);
    if (!written)
        return Error{written.error()};
    copied = std::move(*written);
    return success();
}

std::vector<std::string> History::Step::takeBackCopies() {
    std::vector<std::string> left = levelfile::takeBack(copied);
    copied.clear();
    if (!madeFolder.empty())
        (void)removeEmptyFolder(madeFolder);
    return left;
}

void History::push(Step step) {
    if (saved_ > static_cast<long>(done_))
        saved_ = -1;
    steps_.resize(done_);
    steps_.push_back(std::move(step));
    ++done_;
}

void History::markSaved() {
    saved_ = static_cast<long>(done_);
    for (Step& step : doneSteps()) {
        step.copied.clear();
        step.madeFolder.clear();
    }
}

void History::clear() {
    steps_.clear();
    done_ = 0;
    saved_ = 0;
}

} // namespace quillfen
