#pragma once

#include <functional>

namespace quillfen {

// Long work (load, parse, save) reports how far it has come; the window draws its progress bar
// from it. An empty function reports nowhere.
using Progress = std::function<void(double value, double maximum)>;

// Passes on about a hundred of the steps of long work, the first and the last always: drawing
// the bar at every one of thousands of records costs more than the work itself.
inline Progress aboutHundredSteps(const Progress& progress) {
    if (!progress)
        return {};
    return [progress](double value, double maximum) {
        auto step = maximum < 100 ? 1 : static_cast<long long>(maximum / 100);
        if (value <= 0 || value >= maximum || static_cast<long long>(value) % step == 0)
            progress(value, maximum);
    };
}

} // namespace quillfen
