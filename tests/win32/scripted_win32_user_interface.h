#pragma once

#include "win32/win32_user_interface.h"

#include <cstdio>
#include <deque>
#include <string>

namespace quillfen::win32 {

// The Win32 window's user in the scenario tests: every question takes the next of the queued
// answers (see window_script.h: yes, no, cancel, save, discard, import, replace, text:TEXT,
// path:PATH; none left: cancelled), the disclaimer is agreed to, and each text goes to the log,
// one line each.
class ScriptedWin32UserInterface : public Win32UserInterface {
public:
    explicit ScriptedWin32UserInterface(std::FILE* log) : log_(log) {}

    void queueAnswer(const std::string& answer) { answers_.push_back(answer); }
    void logLine(const std::string& utf8);
    // The last message shown and the last question asked (UTF-8).
    const std::string& lastMessage() const { return lastMessage_; }
    const std::string& lastQuestion() const { return lastQuestion_; }

    bool agree(const std::string& text, const std::string& caption) override;
    void message(const std::string& text) override;
    void inform(const std::string& text) override;
    bool confirm(const std::string& text, const std::string& caption,
                 bool yesIsDefault = true) override;
    bool proceed(const std::string& text, const std::string& caption, const std::string& accept,
                 bool acceptIsDefault = true) override;
    SaveChoice askToSave(const std::string& text) override;
    TextAnswer input(const std::string& prompt, const std::string& title,
                     const std::string& proposed) override;
    std::string chooseFolder(const char* title, const std::string& start) override;
    std::string chooseLevelPack(const std::string& start) override;
    bool openReadme() override { return false; }

private:
    std::string nextAnswer(const std::string& kind, const std::string& text);
    // "path:PATH" names PATH on drive C.
    std::string chosenPath(const char* kind, const std::string& title);

    std::FILE* log_;
    std::deque<std::string> answers_;
    std::string lastMessage_, lastQuestion_;
};

} // namespace quillfen::win32
