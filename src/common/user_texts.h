#pragma once

#include <string>

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

} // namespace quillfen
