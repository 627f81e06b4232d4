#pragma once

#include <string>
#include <string_view>

namespace quillfen {

// Why Windows opens no file or folder of the name `name` (one name, no folders in it, in
// Windows-1252 bytes), in the user's words, calling it `what`: it is empty, holds one of
// \ / : * ? " < > | or a control character, ends in a dot or a space (which Windows drops), or
// is a device's name (CON, PRN, AUX, NUL, COM1-9, LPT1-9, in any case, with any extension).
// For example "the file name 'a?b.lvl' holds '?', which Windows does not allow in a file name".
// Empty when Windows can open it. It quotes the name, so it is Windows-1252 too: a message
// converts it (windows1252ToUtf8).
std::string windowsNameRefusal(std::string_view name, std::string_view what = "file name");

// Why Windows opens no group folder of the text `folder`, in the user's words (Windows-1252, as
// the text); empty when it can. The text is a folder of the game's LEVEL folder or a path: after
// an optional drive ("C:") and a leading "\", each name between "\" must be one that
// windowsNameRefusal allows (a "\" doubled or at the end is passed over, as Windows does), and
// ".." is refused, as it leads out of the folder it names.
std::string windowsFolderRefusal(std::string_view folder);

// `name` with each character that Windows allows in no name (see above) made '_': given an
// ending of its own such as "_00.LVL", a name that Windows opens.
std::string windowsSafeName(std::string_view name);

// The text as a message shows it: each control character as an escape (\n, \t, \r, \x1b...),
// so that a text read from a file can neither break the message's lines nor move or colour the
// terminal it is printed on.
std::string escapedControls(std::string_view text);

} // namespace quillfen
