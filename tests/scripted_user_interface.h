#pragma once

#include "common/user_interface.h"

#include <deque>
#include <string>
#include <vector>

namespace quillfen {

// Answers questions from prepared lists and keeps every message shown, in order. Tests script
// the user with it; the command-line tool answers from its arguments with it.
class ScriptedUserInterface : public UserInterface {
public:
    struct Question {
        std::string text;
        std::string caption;
    };

    std::vector<std::string> messages;
    std::vector<Question> questions;    // confirmations and input prompts, in order asked
    std::deque<bool> confirmations;     // answers to confirm(); when empty, `defaultConfirmation`
    std::deque<TextAnswer> inputs;      // answers to input(); when empty, the empty text
    std::deque<SaveChoice> saveChoices; // answers to askToSave(); when empty, Cancel
    bool defaultConfirmation = true;
    bool agreesToDisclaimer = true;

    bool agree(const std::string&, const std::string&) override { return agreesToDisclaimer; }
    void message(const std::string& text) override { messages.push_back(text); }

    bool confirm(const std::string& text, const std::string& caption,
                 bool /*yesIsDefault*/ = true) override {
        questions.push_back({text, caption});
        if (confirmations.empty())
            return defaultConfirmation;
        bool answer = confirmations.front();
        confirmations.pop_front();
        return answer;
    }

    // Asked as a confirmation whose caption names the buttons: "Import Level Pack [Import]".
    bool proceed(const std::string& text, const std::string& caption, const std::string& accept,
                 bool acceptIsDefault = true) override {
        return confirm(text,
                       caption + " [" + accept + (acceptIsDefault ? "" : ", Cancel default") + "]");
    }

    SaveChoice askToSave(const std::string& text) override {
        questions.push_back({text, "save"});
        if (saveChoices.empty())
            return SaveChoice::Cancel;
        SaveChoice answer = saveChoices.front();
        saveChoices.pop_front();
        return answer;
    }

    TextAnswer input(const std::string& prompt, const std::string& title,
                     const std::string& /*proposed*/) override {
        questions.push_back({prompt, title});
        if (inputs.empty())
            return {};
        TextAnswer answer = inputs.front();
        inputs.pop_front();
        return answer;
    }
};

} // namespace quillfen
