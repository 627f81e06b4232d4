#pragma once

#include <chrono>
#include <functional>
#include <memory>

namespace quillfen {

// Long work (load, parse, save) reports how far it has come; the window draws its progress bar
// from it. An empty function reports nowhere.
using Progress = std::function<void(double value, double maximum)>;

// Passes on the first and the last step of long work, and between them a step only when a
// hundredth of the work and 50 ms have gone by since the last one it passed on: a progress bar
// repaints itself at once, which costs more than most loads and saves take.
inline Progress thinned(const Progress& progress) {
    if (!progress)
        return {};
    using Clock = std::chrono::steady_clock;
    auto drawn = std::make_shared<Clock::time_point>();
    return [progress, drawn](double value, double maximum) {
        bool edge = value <= 0 || value >= maximum;
        if (!edge) {
            auto step = maximum < 100 ? 1 : static_cast<long long>(maximum / 100);
            if (static_cast<long long>(value) % step != 0 ||
                Clock::now() - *drawn < std::chrono::milliseconds(50))
                return;
        }
        *drawn = Clock::now();
        progress(value, maximum);
    };
}

} // namespace quillfen
