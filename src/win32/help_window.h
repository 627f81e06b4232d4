#pragma once

#include <string>
#include <windows.h>

namespace quillfen::win32 {

// The host path of readme.html, which lies beside the program.
std::string readmePath();

// The text of readme.html (UTF-8) without its markup, as an edit box shows it: headings and
// paragraphs with a blank line before them, list items a line each, the entities read.
std::wstring readmeText(const std::string& html);

// Shows readme.html, which lies beside the program, in a window of the program's own, centred
// on `owner` in `font`; Escape closes it. A window already open comes to the front. False when
// there is no readme to show.
bool showHelpWindow(HINSTANCE instance, HWND owner, HFONT font);

} // namespace quillfen::win32
