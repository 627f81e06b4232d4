#pragma once

#include "common/user_interface.h"

#include <cstdio>
#include <deque>
#include <string>
#include <windows.h>

namespace quillfen::win32 {

// A Windows-1252 text of the core as the wide calls take it, and a typed text back.
std::wstring wide(const std::string& windows1252);
TextAnswer fromWide(const std::wstring& text);

// The questions and messages of the core as message boxes and an input box, and the desktop's
// dialogs that the window opens itself. In the test mode they are answered from a queue
// instead and written to a log, one line each.
class Win32UserInterface : public UserInterface {
public:
    void setOwner(HWND owner) { owner_ = owner; }
    // The test mode: every question takes the next of `answers`
    // ("yes", "no", "save", "discard", "cancel", "ok" or "text:..."), and `log` gets each text.
    void answerFromScript(std::FILE* log) { log_ = log; }
    bool scripted() const { return log_ != nullptr; }
    void queueAnswer(const std::string& answer) { answers_.push_back(answer); }
    void logLine(const std::string& utf8);

    // The disclaimer: Yes and No with the information icon.
    bool agree(const std::string& text, const std::string& caption) override;

    void message(const std::string& text) override;
    bool confirm(const std::string& text, const std::string& caption,
                 bool yesIsDefault = true) override;
    bool proceed(const std::string& text, const std::string& caption, const std::string& accept,
                 bool acceptIsDefault = true) override;
    SaveChoice askToSave(const std::string& text) override;
    TextAnswer input(const std::string& prompt, const std::string& title,
                     const std::string& proposed) override;

    // The desktop's folder chooser and the open-file dialog for a level pack: the chosen host
    // path, empty when cancelled (in the test mode: the answer "text:PATH", else empty).
    std::string chooseFolder(const char* title);
    std::string chooseLevelPack();
    // Opens readme.html, which lies beside the program, in the desktop's browser; false when
    // that cannot be done (always in the test mode).
    bool openReadme();

private:
    std::string nextAnswer(const char* kind, const std::string& text);
    std::string scriptedPath(const char* kind, const std::string& title);

    HWND owner_ = nullptr;
    std::FILE* log_ = nullptr;
    std::deque<std::string> answers_;
};

} // namespace quillfen::win32
