#include "win32/win32_user_interface.h"

#include "common/windows1252.h"
#include "editor/window_texts.h"
#include "host/windows_text.h"
#include "win32/resource.h"

#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>

namespace quillfen::win32 {
namespace {

// A message box shows a lone carriage return as no line break: every break becomes CR LF.
std::wstring boxText(const std::string& windows1252) {
    std::wstring text = wide(windows1252), out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\r' && (i + 1 >= text.size() || text[i + 1] != L'\n'))
            out += L"\r\n";
        else
            out += text[i];
    }
    return out;
}

struct InputBox {
    std::wstring prompt, title, text;
};

INT_PTR CALLBACK inputProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* box = reinterpret_cast<InputBox*>(::GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        box = reinterpret_cast<InputBox*>(lParam);
        ::SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        ::SetWindowTextW(dialog, box->title.c_str());
        ::SetDlgItemTextW(dialog, IDC_INPUT_PROMPT, box->prompt.c_str());
        ::SetDlgItemTextW(dialog, IDC_INPUT_TEXT, box->text.c_str());
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            box->text.clear();
            if (LOWORD(wParam) == IDOK) {
                HWND edit = ::GetDlgItem(dialog, IDC_INPUT_TEXT);
                box->text.resize(static_cast<std::size_t>(::GetWindowTextLengthW(edit)) + 1);
                box->text.resize(static_cast<std::size_t>(
                    ::GetWindowTextW(edit, box->text.data(), static_cast<int>(box->text.size()))));
            }
            ::EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        break;
    }
    return FALSE;
}

} // namespace

std::wstring wide(const std::string& windows1252) {
    return widened(windows1252ToUtf8(windows1252));
}

TextAnswer fromWide(const std::wstring& text) {
    if (auto bytes = utf8ToWindows1252(narrowed(text)))
        return {*bytes, true};
    return {utf16ToWindows1252Lossy(std::u16string(text.begin(), text.end())), false};
}

void Win32UserInterface::logLine(const std::string& utf8) {
    if (!log_)
        return;
    std::fputs((utf8 + "\n").c_str(), log_);
    std::fflush(log_);
}

std::string Win32UserInterface::nextAnswer(const char* kind, const std::string& text) {
    std::string answer;
    if (!answers_.empty()) {
        answer = answers_.front();
        answers_.pop_front();
    }
    logLine(std::string(kind) + ": " + windows1252ToUtf8(text) + " -> " + answer);
    return answer;
}

bool Win32UserInterface::agree(const std::string& text, const std::string& caption) {
    if (scripted())
        return nextAnswer("disclaimer", caption) == "yes";
    return ::MessageBoxW(owner_, boxText(text).c_str(), wide(caption).c_str(),
                         MB_YESNO | MB_ICONINFORMATION) == IDYES;
}

void Win32UserInterface::message(const std::string& text) {
    if (scripted()) {
        logLine("message: " + windows1252ToUtf8(text));
        return;
    }
    ::MessageBoxW(owner_, boxText(text).c_str(), wide(kApplicationTitle).c_str(), MB_OK);
}

bool Win32UserInterface::confirm(const std::string& text, const std::string& caption,
                                 bool yesIsDefault) {
    if (scripted())
        return nextAnswer("confirm", text) == "yes";
    UINT style = MB_YESNO | MB_ICONQUESTION | (yesIsDefault ? 0 : MB_DEFBUTTON2);
    return ::MessageBoxW(owner_, boxText(text).c_str(), wide(caption).c_str(), style) == IDYES;
}

bool Win32UserInterface::proceed(const std::string& text, const std::string& caption,
                                 const std::string& accept, bool acceptIsDefault) {
    const std::string offered = accept + (acceptIsDefault ? "" : ", Cancel default");
    if (scripted())
        return nextAnswer(("proceed [" + offered + "]").c_str(), text) == "ok";
    // OK stands for the accepting button, which the text names.
    std::wstring shown = boxText(text) + L"\r\n\r\nOK: " + wide(accept);
    UINT style = MB_OKCANCEL | MB_ICONINFORMATION | (acceptIsDefault ? 0 : MB_DEFBUTTON2);
    return ::MessageBoxW(owner_, shown.c_str(), wide(caption).c_str(), style) == IDOK;
}

SaveChoice Win32UserInterface::askToSave(const std::string& text) {
    int answer = 0;
    if (scripted()) {
        std::string choice = nextAnswer("askToSave", text);
        answer = choice == "save" ? IDYES : choice == "discard" ? IDNO : IDCANCEL;
    } else {
        // Yes saves, No drops the edits, Cancel goes back to the window.
        std::wstring shown = boxText(text) + L"\r\n\r\nYes: save    No: discard the changes";
        answer = ::MessageBoxW(owner_, shown.c_str(), wide(kApplicationTitle).c_str(),
                               MB_YESNOCANCEL | MB_ICONWARNING);
    }
    return answer == IDYES  ? SaveChoice::Save
           : answer == IDNO ? SaveChoice::Discard
                            : SaveChoice::Cancel;
}

TextAnswer Win32UserInterface::input(const std::string& prompt, const std::string& title,
                                     const std::string& proposed) {
    if (scripted()) {
        std::string answer = nextAnswer("input", prompt);
        if (answer == "ok")
            return {proposed, true};
        return fromWide(widened(answer.starts_with("text:") ? answer.substr(5) : ""));
    }
    InputBox box{boxText(prompt), wide(title), wide(proposed)};
    ::DialogBoxParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_INPUT), owner_, inputProc,
                      reinterpret_cast<LPARAM>(&box));
    return fromWide(box.text);
}

std::string Win32UserInterface::scriptedPath(const char* kind, const std::string& title) {
    std::string answer = nextAnswer(kind, title);
    return answer.starts_with("text:") ? answer.substr(5) : std::string();
}

std::string Win32UserInterface::chooseFolder(const char* title) {
    if (scripted())
        return scriptedPath("chooseFolder", title);
    std::wstring caption = wide(title);
    BROWSEINFOW browse{};
    browse.hwndOwner = owner_;
    browse.lpszTitle = caption.c_str();
    browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    PIDLIST_ABSOLUTE chosen = ::SHBrowseForFolderW(&browse);
    if (!chosen)
        return {};
    wchar_t path[MAX_PATH];
    std::string folder = ::SHGetPathFromIDListW(chosen, path) ? narrowed(path) : std::string();
    ::CoTaskMemFree(chosen);
    return folder;
}

std::string Win32UserInterface::chooseLevelPack() {
    if (scripted())
        return scriptedPath("chooseLevelPack", window::kImportPackTitle);
    wchar_t pack[MAX_PATH] = L"";
    std::wstring title = wide(window::kImportPackTitle);
    // Pairs of a kind's name and its pattern, each ended by a zero, and one zero more.
    std::wstring filter = wide(window::kLevelPackFiles) + L" (*.DAT)" + L'\0' + L"*.DAT" + L'\0' +
                          wide(window::kAllFiles) + L'\0' + L"*.*" + L'\0';
    OPENFILENAMEW open{};
    open.lStructSize = sizeof open;
    open.hwndOwner = owner_;
    open.lpstrFilter = filter.c_str();
    open.lpstrFile = pack;
    open.nMaxFile = MAX_PATH;
    open.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
    open.lpstrTitle = title.c_str();
    return ::GetOpenFileNameW(&open) ? narrowed(pack) : std::string();
}

bool Win32UserInterface::openReadme() {
    if (scripted())
        return false;
    wchar_t program[MAX_PATH];
    DWORD length = ::GetModuleFileNameW(nullptr, program, MAX_PATH);
    std::wstring readme(program, length);
    readme = readme.substr(0, readme.find_last_of(L"\\/") + 1) + L"readme.html";
    // ShellExecute tells success by a value above 32.
    return ::GetFileAttributesW(readme.c_str()) != INVALID_FILE_ATTRIBUTES &&
           reinterpret_cast<INT_PTR>(::ShellExecuteW(owner_, L"open", readme.c_str(), nullptr,
                                                     nullptr, SW_SHOWNORMAL)) > 32;
}

} // namespace quillfen::win32
