#pragma once

#include "common/user_interface.h"

#include <cstdio>
#include <deque>
#include <functional>
#include <string>
#include <windows.h>

namespace quillfen::win32 {

// A Windows-1252 text of the core as the wide calls take it, and a typed text back.
std::wstring wide(const std::string& windows1252);
TextAnswer fromWide(const std::wstring& text);

// The questions and messages of the core as task dialogs with named buttons and an input box,
// and the desktop's dialogs that the window opens itself. In the test mode they are answered
// from a queue instead and written to a log, one line each.
class Win32UserInterface : public UserInterface {
public:
    void setOwner(HWND owner) { owner_ = owner; }
    // Where reports of success go (the window's status bar and its list of messages).
    void onInform(std::function<void(const std::string&)> show) { inform_ = std::move(show); }
    // The test mode: every question takes the next of the queued answers (see window_script.h:
    // yes, no, cancel, save, discard, import, replace, text:TEXT, path:PATH; none left:
    // cancelled), and `log` gets each text.
    void answerFromScript(std::FILE* log) { log_ = log; }
    bool scripted() const { return log_ != nullptr; }
    void queueAnswer(const std::string& answer) { answers_.push_back(answer); }
    void logLine(const std::string& utf8);
    // In the test mode: the last message shown and the last question asked (UTF-8).
    const std::string& lastMessage() const { return lastMessage_; }
    const std::string& lastQuestion() const { return lastQuestion_; }

    // The disclaimer: Yes and No with the information icon.
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

    // The desktop's folder chooser and its open-file dialog for a level pack, each starting in
    // the host folder `start`: the chosen host path, empty when cancelled.
    std::string chooseFolder(const char* title, const std::string& start);
    std::string chooseLevelPack(const std::string& start);
    // Opens readme.html, which lies beside the program, in the desktop's browser; false when
    // that cannot be done (always in the test mode).
    bool openReadme();

private:
    std::string nextAnswer(const char* kind, const std::string& text);
    std::string scriptedPath(const char* kind, const std::string& title);
    std::string chooseFile(const std::wstring& title, const std::string& start, bool folder);

    HWND owner_ = nullptr;
    std::FILE* log_ = nullptr;
    std::function<void(const std::string&)> inform_;
    std::deque<std::string> answers_;
    std::string lastMessage_, lastQuestion_;
};

} // namespace quillfen::win32
