// quillfen.exe: the Windows window over the same editor as the Qt one.
#include "profiles/windows_registry_store.h"
#include "win32/main_window.h"
#include "win32/script_runner.h"

#include <cstdio>
#include <objbase.h>

namespace {

std::wstring environment(const wchar_t* name) {
    wchar_t value[1024];
    DWORD length = ::GetEnvironmentVariableW(name, value, 1024);
    return length > 0 && length < 1024 ? std::wstring(value, length) : std::wstring();
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    ::SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES;
    ::InitCommonControlsEx(&controls);
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);

    quillfen::WindowsRegistryStore store;
    quillfen::win32::Win32UserInterface ui;
    // The test mode, for the tests only: questions answered by a script, texts written to a log.
    std::wstring script = environment(L"QUILLFEN_TEST_SCRIPT");
    std::FILE* log = nullptr;
    std::vector<std::string> lines;
    if (!script.empty()) {
        lines = quillfen::win32::readScript(script);
        log = ::_wfopen(environment(L"QUILLFEN_TEST_LOG").c_str(), L"wb");
        if (!log)
            return 2;
        ui.answerFromScript(log);
        // The disclaimer is the first question.
        if (!lines.empty() && lines.front().starts_with("answer ")) {
            ui.queueAnswer(lines.front().substr(7));
            lines.erase(lines.begin());
        }
    }
    int result = 0;
    {
        quillfen::win32::MainWindow form(store, ui);
        if (form.create(instance, show)) {
            if (log)
                form.runScript(std::move(lines));
            MSG message;
            while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
                if (form.translateAccelerator(message))
                    continue;
                if (!::IsDialogMessageW(form.handle(), &message)) {
                    ::TranslateMessage(&message);
                    ::DispatchMessageW(&message);
                }
            }
            result = static_cast<int>(message.wParam);
        }
    }
    if (log) {
        std::fputs("ended\n", log);
        std::fclose(log);
    }
    ::CoUninitialize();
    return result;
}
