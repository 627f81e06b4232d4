#include "editor/history.h"

namespace quillfen {

void History::push(Step step) {
    if (saved_ > static_cast<long>(done_))
        saved_ = -1;
    steps_.resize(done_);
    steps_.push_back(std::move(step));
    ++done_;
}

void History::markSaved() {
    saved_ = static_cast<long>(done_);
    for (Step& step : doneSteps())
        step.copied.clear();
}

void History::clear() {
    steps_.clear();
    done_ = 0;
    saved_ = 0;
}

} // namespace quillfen
