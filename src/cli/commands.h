#pragma once

#include "cli/cli_common.h"

namespace quillfen::cli {

// Each command takes the arguments after its name and gives the exit status.
int showCommand(const Args& args);
int checkCommand(const Args& args);
int rewriteCommand(const Args& args);
int demoCommand(const Args& args);
int prefixesCommand(const Args& args);
int profilesCommand(const Args& args);
int loadCommand(const Args& args);
int saveCommand(const Args& args);
int demoPrefixCommand(const Args& args);
int levelCommand(const Args& args);
int importCommand(const Args& args);
int previewCommand(const Args& args);
int editCommand(const Args& args);
int editProfileCommand(const Args& args);
int gameCommand(const Args& args);
int checkProfileCommand(const Args& args);

} // namespace quillfen::cli
