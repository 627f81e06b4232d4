#pragma once

#include "cli/cli_common.h"
#include "database/scripted_user_interface.h"

#include <iostream>

namespace quillfen::cli {

// The command-line tool's user: every message goes to stderr as UTF-8 (and is kept), and the
// questions are answered as ScriptedUserInterface answers them.
class PrintingUserInterface : public ScriptedUserInterface {
public:
    void message(const std::string& text) override {
        ScriptedUserInterface::message(text);
        std::cerr << utf8(text) << "\n";
    }
};

} // namespace quillfen::cli
