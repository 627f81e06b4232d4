#pragma once

#include "editing/tree_edit.h"
#include "levelfile/level_pack.h"

#include <iterator>
#include <string>
#include <vector>

namespace quillfen {

// Makes the group's folder `folder` for an add when it is missing, and names it in `made` then
// (an add's Step::madeFolder). Refused with the user's message.
Status makeGroupFolder(const std::string& folder, std::string& made);

// The edits that can be undone and redone, and the point at which the tree was last saved.
class History {
public:
    struct Step {
        std::string name; // "Delete Group"
        EditStep edit;
        std::string selectedBefore; // keys; empty for nothing selected
        std::string selectedAfter;
        // An add's level files copied into their group's folder: what redo writes (replacing the
        // files of the plan's conflicts, as the import did), and what the step wrote or replaced
        // while no save has kept it, which undo takes back.
        levelfile::ImportPlan copies = {};
        std::vector<levelfile::WrittenLevel> copied = {};
        // The group's folder (a host path) when the add made it: undo removes it once empty.
        std::string madeFolder = {};

        // Writes the copies again, in the folder made again when the add made it: for a redo.
        // Refused with the user's message, nothing written.
        Status copyAgain();
        // Takes back what the step copied and no save kept, and the folder it made once that is
        // empty; gives the paths of the files left (see levelfile::takeBack).
        std::vector<std::string> takeBackCopies();
    };

    // A new edit: what was undone can no longer be redone.
    void push(Step step);
    // The step to undo or redo, or null; undone() and redone() then move past it.
    Step* toUndo() { return done_ == 0 ? nullptr : &steps_[done_ - 1]; }
    Step* toRedo() { return done_ == steps_.size() ? nullptr : &steps_[done_]; }
    // Their names, "Delete Group" and the like; empty when there is none.
    std::string undoName() const { return done_ == 0 ? "" : steps_[done_ - 1].name; }
    std::string redoName() const { return done_ == steps_.size() ? "" : steps_[done_].name; }
    void undone() { --done_; }
    void redone() { ++done_; }

    // Forgets every step; the tree as it is counts as saved.
    void clear();
    // A save keeps the files that the steps done copied: no undo takes them back.
    void markSaved();
    bool modified() const { return saved_ != static_cast<long>(done_); }
    // The steps done, newest first: the order in which they are taken back, so that a folder an
    // earlier step made is empty when its turn comes.
    struct NewestFirst {
        std::vector<Step>::reverse_iterator first, last;
        auto begin() const { return first; }
        auto end() const { return last; }
    };
    NewestFirst doneSteps() {
        return {std::make_reverse_iterator(steps_.begin() + static_cast<long>(done_)),
                steps_.rend()};
    }

private:
    std::vector<Step> steps_;
    std::size_t done_ = 0;
    // The number of steps done when the tree was saved; -1 once that state cannot come back.
    long saved_ = 0;
};

} // namespace quillfen
