#pragma once

#include "common/windows1252.h"
#include "common/windows_names.h"

#include <string>
#include <string_view>

namespace quillfen {

// What the user typed into an input box, as Windows-1252 bytes. Cancel gives the empty text.
// `storable` is false when the typed text held a character that has no Windows-1252 byte.
struct TextAnswer {
    std::string text;
    bool storable = true;
};

// What every command that needs a loaded profile says without one.
inline constexpr char kLoadFirst[] = "you have to load up a profile first";

inline constexpr char kUnstorableText[] =
    "WARNING: the text holds characters that cannot be stored";
// The same for a text that can be quoted (UTF-8, such as a command's word or a file's name),
// which it names as `what`.
inline std::string unstorableText(std::string_view utf8, std::string_view what = "text") {
    std::string quoted;
    // Only ASCII's controls are escaped: the bytes above belong to the characters UTF-8 spells.
    for (char c : utf8)
        quoted +=
            static_cast<unsigned char>(c) < 0x80 ? escapedControls({&c, 1}) : std::string(1, c);
    return "WARNING: the " + std::string(what) + " '" + quoted +
           "' holds characters that cannot be stored";
}

// A title as a window shows it: the DOS game's texts write an apostrophe as a backquote
// ("It`s"). The tree keeps the bytes as they are; only what is drawn changes.
inline std::string shownTitle(std::string title) {
    for (char& c : title)
        if (c == '`')
            c = '\'';
    return title;
}

} // namespace quillfen
