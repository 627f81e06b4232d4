#pragma once

#include <functional>

namespace quillfen {

// Long work (load, parse, save) reports how far it has come; the window draws its progress bar
// from it. An empty function reports nowhere.
using Progress = std::function<void(double value, double maximum)>;

} // namespace quillfen
