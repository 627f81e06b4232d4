#pragma once

#include "cli/cli_common.h"
#include "common/user_interface.h"

#include <deque>
#include <iostream>

namespace quillfen::cli {

// The command-line tool's user: every message goes to stderr as UTF-8, and the questions are
// answered from its arguments: Yes to every question, the queued texts to the input boxes.
class PrintingUserInterface : public UserInterface {
public:
    // Answers to input(), in order; when empty, the empty text (Cancel).
    std::deque<TextAnswer> inputs;

    void message(const std::string& text) override { std::cerr << utf8(text) << "\n"; }
    bool confirm(const std::string&, const std::string&, bool = true) override { return true; }
    bool proceed(const std::string&, const std::string&, const std::string&) override {
        return true;
    }
    SaveChoice askToSave(const std::string&) override { return SaveChoice::Cancel; }
    TextAnswer input(const std::string&, const std::string&, const std::string&) override {
        if (inputs.empty())
            return {};
        TextAnswer answer = inputs.front();
        inputs.pop_front();
        return answer;
    }
};

} // namespace quillfen::cli
