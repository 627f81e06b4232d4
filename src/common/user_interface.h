#pragma once

#include "common/user_texts.h"

#include <string>
#include <string_view>
#include <utility>

namespace quillfen {

inline constexpr char kApplicationTitle[] = "Quillfen Level Adder";
// The disclaimer's buttons.
inline constexpr char kAgree[] = "I Agree";
inline constexpr char kQuit[] = "Quit";

// What a message box shows of one of the core's messages: the core starts a warning with
// "WARNING: " and an error with "ERROR: " (the command-line tool prints them so); a box shows the
// kind as its icon and the rest as its text.
enum class MessageKind { Information, Warning, Error };
struct ShownMessage {
    MessageKind kind = MessageKind::Information;
    std::string text;
};
inline ShownMessage shownMessage(const std::string& text) {
    for (auto [prefix, kind] :
         {std::pair{"WARNING: ", MessageKind::Warning}, std::pair{"ERROR: ", MessageKind::Error}}) {
        if (text.starts_with(prefix))
            return {kind, text.substr(std::string_view(prefix).size())};
    }
    return {MessageKind::Information, text};
}

// A message as one line of a status bar or a list: its lines joined with a space.
inline std::string oneLine(const std::string& text) {
    std::string line;
    for (char c : text) {
        if (c != '\r' && c != '\n')
            line += c;
        else if (!line.empty() && line.back() != ' ')
            line += ' ';
    }
    return line;
}

// The answers to "Save changes to the profile ...?".
enum class SaveChoice { Save, Discard, Cancel };

// The questions and messages a command puts to the user. Every text passed here is UTF-8: the
// core converts a name it keeps in Windows-1252 (a group's, a set's, a level's, a file's) where
// it composes the text, and a profile's name or a host path goes in as it is. Only the texts
// that the core stores are Windows-1252: input()'s `proposed` and its answer (TextAnswer).
class UserInterface {
public:
    virtual ~UserInterface() = default;

    // The start-up disclaimer: kAgree and kQuit with the information icon and its own title; true
    // for kAgree.
    virtual bool agree(const std::string& text, const std::string& title) = 0;
    // A message box with OK only, the application's title as caption and the icon of the
    // message's kind (shownMessage).
    virtual void message(const std::string& text) = 0;
    // What an action that did what was asked reports ("3 level(s) added to 'X'", a save's
    // report): a window shows it without stopping the user, in its status bar and its list of
    // messages. Warnings and errors go to message().
    virtual void inform(const std::string& text) { message(text); }
    // What an action refused without losing anything says ("cannot go any higher", kLoadFirst):
    // a window shows it as inform() does, never in a box that stops the user.
    virtual void refuse(const std::string& text) { inform(text); }
    // A Yes/No question with the question icon; true for Yes. `yesIsDefault` false makes No the
    // button that Enter presses, for questions whose Yes replaces a file.
    virtual bool confirm(const std::string& text, const std::string& caption,
                         bool yesIsDefault = true) = 0;
    // A report with a button named `accept` ("Import") and Cancel; true for `accept`.
    // `acceptIsDefault` false makes Cancel the button that Enter presses, for a report whose
    // `accept` replaces files.
    virtual bool proceed(const std::string& text, const std::string& caption,
                         const std::string& accept, bool acceptIsDefault = true) = 0;
    // Save, Discard or Cancel, with the warning icon and the application's title as caption.
    virtual SaveChoice askToSave(const std::string& text) = 0;
    // An input box with OK and Cancel.
    virtual TextAnswer input(const std::string& prompt, const std::string& title,
                             const std::string& proposed) = 0;
};

} // namespace quillfen
