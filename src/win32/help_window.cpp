// Help in the program's own window: where no browser takes readme.html (under Wine a hand-off
// "succeeds" with none there), its text is shown in a read-only edit box.
#include "win32/help_window.h"

#include "editor/window_texts.h"
#include "host/file_io.h"
#include "host/host_path.h"
#include "host/windows_text.h"
#include "win32/control_layout.h"

#include <algorithm>
#include <commctrl.h>
#include <cwctype>

namespace quillfen::win32 {
namespace {

constexpr wchar_t kHelpClass[] = L"QuillfenHelpWindow";

// The name of the tag that starts at `at` (after '<'), in lower case, '/' kept.
std::wstring tagName(const std::wstring& html, std::size_t at) {
    std::wstring name;
    for (; at < html.size() && (std::iswalnum(html[at]) || html[at] == L'/'); ++at)
        name += static_cast<wchar_t>(std::towlower(html[at]));
    return name;
}

void endLine(std::wstring& text, int lines) {
    while (!text.empty() && text.back() == L' ')
        text.pop_back();
    if (text.empty())
        return;
    int ended = 0;
    for (std::size_t i = text.size(); i >= 2 && text.compare(i - 2, 2, L"\r\n") == 0; i -= 2)
        ++ended;
    for (; ended < lines; ++ended)
        text += L"\r\n";
}

LRESULT CALLBACK helpProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE:
        ::MoveWindow(::GetWindow(window, GW_CHILD), 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    case WM_SETFOCUS:
        ::SetFocus(::GetWindow(window, GW_CHILD));
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

// Escape in the text closes the window.
LRESULT CALLBACK textProc(HWND text, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                          DWORD_PTR) {
    if (message == WM_KEYDOWN && wParam == VK_ESCAPE) {
        ::DestroyWindow(::GetParent(text));
        return 0;
    }
    return ::DefSubclassProc(text, message, wParam, lParam);
}

} // namespace

std::string readmePath() {
    wchar_t program[MAX_PATH];
    const DWORD length = ::GetModuleFileNameW(nullptr, program, MAX_PATH);
    return pathIn(folderOf(narrowed({program, length})), "readme.html");
}

std::wstring readmeText(const std::string& html) {
    const std::wstring source = widened(html);
    std::wstring text;
    for (std::size_t i = 0; i < source.size(); ++i) {
        const wchar_t c = source[i];
        if (c == L'<') {
            const std::wstring name = tagName(source, i + 1);
            // What the head holds is not shown.
            if (name == L"head") {
                const std::size_t end = source.find(L"</head>", i);
                i = end == std::wstring::npos ? source.size() : end + 6;
                continue;
            }
            if (name == L"h1" || name == L"h2" || name == L"p" || name == L"ul" || name == L"ol")
                endLine(text, 2);
            else if (name == L"li" || name == L"br")
                endLine(text, 1);
            if (name == L"li")
                text += L"  - ";
            const std::size_t end = source.find(L'>', i);
            i = end == std::wstring::npos ? source.size() : end;
        } else if (c == L'&') {
            // The entities the readme uses; any other '&' is shown as it is.
            const std::size_t end = source.find(L';', i);
            const std::wstring entity = source.substr(i + 1, end - i - 1);
            const wchar_t* shown = entity == L"lt"     ? L"<"
                                   : entity == L"gt"   ? L">"
                                   : entity == L"quot" ? L"\""
                                   : entity == L"amp"  ? L"&"
                                                       : nullptr;
            text += shown ? shown : L"&";
            if (shown)
                i = end;
        } else if (std::iswspace(c)) {
            if (!text.empty() && text.back() != L' ' && text.back() != L'\n')
                text += L' ';
        } else {
            text += c;
        }
    }
    endLine(text, 1);
    return text;
}

bool showHelpWindow(HINSTANCE instance, HWND owner, HFONT font) {
    if (HWND open = ::FindWindowW(kHelpClass, nullptr)) {
        ::ShowWindow(open, SW_RESTORE);
        ::SetForegroundWindow(open);
        return true;
    }
    auto bytes = readWholeFile(readmePath(), 1 << 22);
    if (!bytes)
        return false;

    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = helpProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kHelpClass;
    ::RegisterClassExW(&windowClass);
    // About 80 characters by 36 lines of the window's font, centred on the main window.
    const TEXTMETRICW measures = textMetricsOf(owner, font);
    RECT frame{0, 0, 80 * measures.tmAveCharWidth, 36 * measures.tmHeight};
    ::AdjustWindowRectExForDpi(&frame, WS_OVERLAPPEDWINDOW, FALSE, 0, ::GetDpiForWindow(owner));
    RECT main{};
    ::GetWindowRect(owner, &main);
    const int w = frame.right - frame.left, h = frame.bottom - frame.top;
    HWND window = ::CreateWindowExW(0, kHelpClass, widened(window::kHelp).c_str(),
                                    WS_OVERLAPPEDWINDOW, (main.left + main.right - w) / 2,
                                    std::max<LONG>(0, (main.top + main.bottom - h) / 2), w, h,
                                    owner, nullptr, instance, nullptr);
    HWND text = ::CreateWindowExW(
        0, WC_EDITW, readmeText(std::string(bytes->begin(), bytes->end())).c_str(),
        WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, 0, 0, w,
        h, window, nullptr, instance, nullptr);
    ::SendMessageW(text, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    ::SetWindowSubclass(text, textProc, 0, 0);
    ::ShowWindow(window, SW_SHOWNORMAL);
    RECT client{};
    ::GetClientRect(window, &client);
    ::MoveWindow(text, 0, 0, client.right, client.bottom, TRUE);
    ::SetFocus(text);
    return true;
}

} // namespace quillfen::win32
