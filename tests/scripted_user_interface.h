#pragma once

#include "common/user_interface.h"

#include <deque>
#include <string>
#include <vector>

namespace quillfen {

// The scripted user of the tests, fuzzers and benchmarks: answers questions from prepared lists
// and keeps every message and question, in order.
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
    int disclaimers = 0; // times the disclaimer was shown
    bool agrees = true;  // the answer to it

    bool agree(const std::string&, const std::string&) override {
        ++disclaimers;
        return agrees;
    }
    void message(const std::string& text) override { messages.push_back(text); }

    bool confirm(const std::string& text, const std::string& caption,
                 bool /*yesIsDefault*/ = true) override {
        questions.push_back({text, caption});
        return next(confirmations, defaultConfirmation);
    }

    // Asked as a confirmation whose caption names the buttons: "Import Level Pack [Import]".
    bool proceed(const std::string& text, const std::string& caption, const std::string& accept,
                 bool acceptIsDefault = true) override {
        return confirm(text,
                       caption + " [" + accept + (acceptIsDefault ? "" : ", Cancel default") + "]");
    }

    SaveChoice askToSave(const std::string& text) override {
        questions.push_back({text, "save"});
        return next(saveChoices, SaveChoice::Cancel);
    }

    TextAnswer input(const std::string& prompt, const std::string& title,
                     const std::string& /*proposed*/) override {
        questions.push_back({prompt, title});
        return next(inputs, TextAnswer{});
    }

private:
    template <class T> static T next(std::deque<T>& answers, T otherwise) {
        if (answers.empty())
            return otherwise;
        T answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

} // namespace quillfen
