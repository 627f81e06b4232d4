#pragma once

#include "common/windows1252.h"
#include "editor/window_texts.h"
#include "host/windows_text.h"
#include "win32/win32_user_interface.h"

#include <cctype>
#include <cstdio>
#include <deque>
#include <string>

namespace quillfen::win32 {

// The Win32 window's user in the scenario tests: every question takes the next of the queued
// answers (see window_script.h: yes, no, cancel, save, discard, import, replace, text:TEXT,
// path:PATH on drive C; none left: cancelled), the disclaimer is agreed to, and each text goes to
// the log, one line each.
class ScriptedWin32UserInterface : public Win32UserInterface {
public:
    explicit ScriptedWin32UserInterface(std::FILE* log) : log_(log) {}

    void queueAnswer(const std::string& answer) { answers_.push_back(answer); }
    void logLine(const std::string& utf8) {
        std::fputs((utf8 + "\n").c_str(), log_);
        std::fflush(log_);
    }
    // The last message shown and the last question asked (UTF-8).
    const std::string& lastMessage() const { return lastMessage_; }
    const std::string& lastQuestion() const { return lastQuestion_; }

    bool agree(const std::string&, const std::string& caption) override {
        logLine("disclaimer: " + caption + " -> yes");
        return true;
    }
    void message(const std::string& text) override {
        lastMessage_ = text;
        logLine("message: " + lastMessage_);
    }
    void inform(const std::string& text) override {
        logLine("inform: " + text);
        Win32UserInterface::inform(text);
    }
    bool confirm(const std::string& text, const std::string&, bool) override {
        return nextAnswer("confirm", text) == "yes";
    }
    bool proceed(const std::string& text, const std::string&, const std::string& accept,
                 bool) override {
        std::string word = accept;
        for (char& c : word)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return nextAnswer("proceed [" + accept + "]", text) == word;
    }
    SaveChoice askToSave(const std::string& text) override {
        const std::string choice = nextAnswer("askToSave", text);
        return choice == "save"      ? SaveChoice::Save
               : choice == "discard" ? SaveChoice::Discard
                                     : SaveChoice::Cancel;
    }
    TextAnswer input(const std::string& prompt, const std::string&,
                     const std::string& proposed) override {
        const std::string answer = nextAnswer("input", prompt);
        if (answer == "ok")
            return {proposed, true};
        return fromWide(widened(answer.starts_with("text:") ? answer.substr(5) : ""));
    }
    std::string chooseFolder(const char* title, const std::string&) override {
        return chosenPath("chooseFolder", title);
    }
    std::string chooseLevelPack(const std::string&) override {
        return chosenPath("chooseLevelPack", window::kImportPackTitle);
    }
    bool openReadme() override { return false; }

private:
    std::string nextAnswer(const std::string& kind, const std::string& text) {
        std::string answer = "cancel";
        if (!answers_.empty()) {
            answer = answers_.front();
            answers_.pop_front();
        }
        lastQuestion_ = text;
        logLine(kind + ": " + lastQuestion_ + " -> " + answer);
        return answer;
    }
    std::string chosenPath(const char* kind, const std::string& title) {
        const std::string answer = nextAnswer(kind, title);
        return answer.starts_with("path:") ? "C:\\" + answer.substr(5) : std::string();
    }

    std::FILE* log_;
    std::deque<std::string> answers_;
    std::string lastMessage_, lastQuestion_;
};

} // namespace quillfen::win32
