#pragma once

#include <string>
#include <vector>

namespace quillfen::levelfile {

// The level files of a folder, as the level-file list shows them and the count counts them:
// ordinary files whose names end in ".lvl" without regard to case, hidden files left out,
// sorted without regard to case. Names as the host spells them (UTF-8); empty when the folder
// cannot be read.
std::vector<std::string> scanLevelFiles(const std::string& folder);

} // namespace quillfen::levelfile
