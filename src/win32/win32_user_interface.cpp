#include "win32/win32_user_interface.h"

#include "common/windows1252.h"
#include "editor/window_texts.h"
#include "host/windows_text.h"
#include "win32/help_window.h"
#include "win32/resource.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shobjidl.h>
#include <vector>

namespace quillfen::win32 {
namespace {

// A message box shows a lone carriage return as no line break: every break becomes CR LF.
std::wstring boxText(const std::string& utf8) {
    std::wstring text = widened(utf8), out;
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

// The questions' own buttons, beside Windows' Yes, No and Cancel.
constexpr int kSaveButton = 100, kDiscardButton = 101, kAcceptButton = 102, kQuitButton = 103;
constexpr wchar_t kSave[] = L"&Save", kDiscard[] = L"&Discard";

// A task dialog: `text` with the icon, named buttons (`own`) before Windows' own (`common`),
// Enter pressing `defaultButton`; the button pressed (IDCANCEL for Escape or the close box).
int askWithButtons(HWND owner, const std::wstring& caption, const std::wstring& text, PCWSTR icon,
                   const std::vector<TASKDIALOG_BUTTON>& own, TASKDIALOG_COMMON_BUTTON_FLAGS common,
                   int defaultButton) {
    TASKDIALOGCONFIG config{};
    config.cbSize = sizeof(config);
    config.hwndParent = owner;
    config.dwFlags = TDF_ALLOW_DIALOG_CANCELLATION | TDF_POSITION_RELATIVE_TO_WINDOW;
    config.pszWindowTitle = caption.c_str();
    config.pszMainIcon = icon;
    config.pszContent = text.c_str();
    config.pButtons = own.data();
    config.cButtons = static_cast<UINT>(own.size());
    config.dwCommonButtons = common;
    config.nDefaultButton = defaultButton;
    int pressed = IDCANCEL;
    if (FAILED(::TaskDialogIndirect(&config, &pressed, nullptr, nullptr)))
        return IDCANCEL;
    return pressed;
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

bool Win32UserInterface::agree(const std::string& text, const std::string& caption) {
    std::wstring agreeText = L"&" + wide(kAgree), quitText = L"&" + wide(kQuit);
    return askWithButtons(owner_, widened(caption), boxText(text), TD_INFORMATION_ICON,
                          {{kAcceptButton, agreeText.c_str()}, {kQuitButton, quitText.c_str()}}, 0,
                          kAcceptButton) == kAcceptButton;
}

void Win32UserInterface::message(const std::string& text) {
    if (inform_)
        inform_(text, false);
    ShownMessage shown = shownMessage(text);
    UINT icon = shown.kind == MessageKind::Error     ? MB_ICONERROR
                : shown.kind == MessageKind::Warning ? MB_ICONWARNING
                                                     : MB_ICONINFORMATION;
    ::MessageBoxW(owner_, boxText(shown.text).c_str(), wide(kApplicationTitle).c_str(),
                  MB_OK | icon);
}

void Win32UserInterface::inform(const std::string& text) {
    if (inform_)
        inform_(text, true);
}

bool Win32UserInterface::confirm(const std::string& text, const std::string& caption,
                                 bool yesIsDefault) {
    return askWithButtons(owner_, widened(caption), boxText(text), nullptr, {},
                          TDCBF_YES_BUTTON | TDCBF_NO_BUTTON, yesIsDefault ? IDYES : IDNO) == IDYES;
}

bool Win32UserInterface::proceed(const std::string& text, const std::string& caption,
                                 const std::string& accept, bool acceptIsDefault) {
    std::wstring named = L"&" + widened(accept);
    return askWithButtons(owner_, widened(caption), boxText(text), TD_INFORMATION_ICON,
                          {{kAcceptButton, named.c_str()}}, TDCBF_CANCEL_BUTTON,
                          acceptIsDefault ? kAcceptButton : IDCANCEL) == kAcceptButton;
}

SaveChoice Win32UserInterface::askToSave(const std::string& text) {
    const int answer = askWithButtons(
        owner_, wide(kApplicationTitle), boxText(text), TD_WARNING_ICON,
        {{kSaveButton, kSave}, {kDiscardButton, kDiscard}}, TDCBF_CANCEL_BUTTON, kSaveButton);
    return answer == kSaveButton      ? SaveChoice::Save
           : answer == kDiscardButton ? SaveChoice::Discard
                                      : SaveChoice::Cancel;
}

TextAnswer Win32UserInterface::input(const std::string& prompt, const std::string& title,
                                     const std::string& proposed) {
    InputBox box{boxText(prompt), widened(title), wide(proposed)};
    ::DialogBoxParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_INPUT), owner_, inputProc,
                      reinterpret_cast<LPARAM>(&box));
    return fromWide(box.text);
}

// The desktop's file dialog, for a folder or for a level pack.
std::string Win32UserInterface::chooseFile(const std::wstring& title, const std::string& start,
                                           bool folder) {
    IFileOpenDialog* dialog = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_PPV_ARGS(&dialog))))
        return {};
    FILEOPENDIALOGOPTIONS options = 0;
    dialog->GetOptions(&options);
    dialog->SetOptions(options | FOS_FORCEFILESYSTEM |
                       (folder ? FOS_PICKFOLDERS : FOS_FILEMUSTEXIST | FOS_PATHMUSTEXIST));
    dialog->SetTitle(title.c_str());
    if (!folder) {
        std::wstring packs = wide(window::kLevelPackFiles) + L" (*.DAT)",
                     all = wide(window::kAllFiles);
        const COMDLG_FILTERSPEC kinds[] = {{packs.c_str(), L"*.DAT"}, {all.c_str(), L"*.*"}};
        dialog->SetFileTypes(2, kinds);
    }
    IShellItem* startItem = nullptr;
    if (SUCCEEDED(::SHCreateItemFromParsingName(widened(start).c_str(), nullptr,
                                                IID_PPV_ARGS(&startItem)))) {
        dialog->SetFolder(startItem);
        startItem->Release();
    }
    std::string chosen;
    IShellItem* result = nullptr;
    if (SUCCEEDED(dialog->Show(owner_)) && SUCCEEDED(dialog->GetResult(&result))) {
        PWSTR path = nullptr;
        if (SUCCEEDED(result->GetDisplayName(SIGDN_FILESYSPATH, &path))) {
            chosen = narrowed(path);
            ::CoTaskMemFree(path);
        }
        result->Release();
    }
    dialog->Release();
    return chosen;
}

std::string Win32UserInterface::chooseFolder(const char* title, const std::string& start) {
    return chooseFile(wide(title), start, true);
}

std::string Win32UserInterface::chooseLevelPack(const std::string& start) {
    return chooseFile(wide(window::kImportPackTitle), start, false);
}

bool Win32UserInterface::openReadme() {
    const std::wstring readme = widened(readmePath());
    // ShellExecute tells success by a value above 32.
    return ::GetFileAttributesW(readme.c_str()) != INVALID_FILE_ATTRIBUTES &&
           reinterpret_cast<INT_PTR>(::ShellExecuteW(owner_, L"open", readme.c_str(), nullptr,
                                                     nullptr, SW_SHOWNORMAL)) > 32;
}

} // namespace quillfen::win32
