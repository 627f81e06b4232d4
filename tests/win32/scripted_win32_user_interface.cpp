#include "scripted_win32_user_interface.h"

#include "common/windows1252.h"
#include "editor/window_texts.h"
#include "host/windows_text.h"

#include <cctype>

namespace quillfen::win32 {

void ScriptedWin32UserInterface::logLine(const std::string& utf8) {
    std::fputs((utf8 + "\n").c_str(), log_);
    std::fflush(log_);
}

std::string ScriptedWin32UserInterface::nextAnswer(const std::string& kind,
                                                   const std::string& text) {
    std::string answer = "cancel";
    if (!answers_.empty()) {
        answer = answers_.front();
        answers_.pop_front();
    }
    lastQuestion_ = windows1252ToUtf8(text);
    logLine(kind + ": " + lastQuestion_ + " -> " + answer);
    return answer;
}

bool ScriptedWin32UserInterface::agree(const std::string&, const std::string& caption) {
    // Every scenario starts with the disclaimer agreed to, when it is asked at all.
    logLine("disclaimer: " + caption + " -> yes");
    return true;
}

void ScriptedWin32UserInterface::message(const std::string& text) {
    lastMessage_ = windows1252ToUtf8(text);
    logLine("message: " + lastMessage_);
}

void ScriptedWin32UserInterface::inform(const std::string& text) {
    logLine("inform: " + windows1252ToUtf8(text));
    Win32UserInterface::inform(text);
}

bool ScriptedWin32UserInterface::confirm(const std::string& text, const std::string&, bool) {
    return nextAnswer("confirm", text) == "yes";
}

bool ScriptedWin32UserInterface::proceed(const std::string& text, const std::string&,
                                         const std::string& accept, bool) {
    std::string word = accept;
    for (char& c : word)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return nextAnswer("proceed [" + accept + "]", text) == word;
}

SaveChoice ScriptedWin32UserInterface::askToSave(const std::string& text) {
    const std::string choice = nextAnswer("askToSave", text);
    return choice == "save"      ? SaveChoice::Save
           : choice == "discard" ? SaveChoice::Discard
                                 : SaveChoice::Cancel;
}

TextAnswer ScriptedWin32UserInterface::input(const std::string& prompt, const std::string&,
                                             const std::string& proposed) {
    const std::string answer = nextAnswer("input", prompt);
    if (answer == "ok")
        return {proposed, true};
    return fromWide(widened(answer.starts_with("text:") ? answer.substr(5) : ""));
}

std::string ScriptedWin32UserInterface::chosenPath(const char* kind, const std::string& title) {
    const std::string answer = nextAnswer(kind, title);
    return answer.starts_with("path:") ? "C:\\" + answer.substr(5) : std::string();
}

std::string ScriptedWin32UserInterface::chooseFolder(const char* title, const std::string&) {
    return chosenPath("chooseFolder", title);
}

std::string ScriptedWin32UserInterface::chooseLevelPack(const std::string&) {
    return chosenPath("chooseLevelPack", window::kImportPackTitle);
}

} // namespace quillfen::win32
