// quillfen.exe: the Windows window over the same editor as the Qt one.
#include "host/file_io.h"
#include "host/windows_text.h"
#include "profiles/windows_registry_store.h"
#include "win32/main_window.h"
#include "win32/script_runner.h"

#include <cstdio>
#include <objbase.h>
#include <string>

namespace {

std::wstring environment(const wchar_t* name) {
    wchar_t value[1024];
    DWORD length = ::GetEnvironmentVariableW(name, value, 1024);
    return length > 0 && length < 1024 ? std::wstring(value, length) : std::wstring();
}

// The test mode's scenario: QUILLFEN_TEST_SCENARIO (counted from 1) of the scenarios in the file
// QUILLFEN_TEST_SCRIPT; nothing when there is no such scenario.
std::optional<quillfen::script::Scenario> testScenario() {
    auto bytes =
        quillfen::readWholeFile(quillfen::narrowed(environment(L"QUILLFEN_TEST_SCRIPT")), 1 << 20);
    if (!bytes)
        return std::nullopt;
    auto scenarios = quillfen::script::readScenarios(std::string(bytes->begin(), bytes->end()));
    std::size_t number = std::wcstoul(environment(L"QUILLFEN_TEST_SCENARIO").c_str(), nullptr, 10);
    if (number < 1 || number > scenarios.size())
        return std::nullopt;
    return scenarios[number - 1];
}

// The messages of the window and its dialogs; files that come or go in the folder list's folder
// wake it too.
int runMessageLoop(quillfen::win32::MainWindow& form) {
    for (;;) {
        HANDLE change = form.folderChange();
        DWORD woken = ::MsgWaitForMultipleObjectsEx(change == INVALID_HANDLE_VALUE ? 0 : 1, &change,
                                                    INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (woken == WAIT_OBJECT_0 && change != INVALID_HANDLE_VALUE) {
            form.onFolderChanged();
            continue;
        }
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT)
                return static_cast<int>(message.wParam);
            if (form.translateAccelerator(message))
                continue;
            if (!::IsDialogMessageW(form.handle(), &message)) {
                ::TranslateMessage(&message);
                ::DispatchMessageW(&message);
            }
        }
    }
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    ::SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES;
    ::InitCommonControlsEx(&controls);
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);

    quillfen::WindowsRegistryStore store;
    quillfen::win32::Win32UserInterface ui;
    // The test mode, for the tests only: one user scenario, its questions answered by its
    // script, every text written to a log.
    std::FILE* log = nullptr;
    std::optional<quillfen::script::Scenario> scenario;
    if (!environment(L"QUILLFEN_TEST_SCRIPT").empty()) {
        scenario = testScenario();
        log = ::_wfopen(environment(L"QUILLFEN_TEST_LOG").c_str(), L"wb");
        if (!scenario || !log)
            return 2;
        ui.answerFromScript(log);
        ui.logLine("scenario " + scenario->name);
    }
    int result = 0;
    {
        quillfen::win32::MainWindow form(store, ui);
        if (form.create(instance, show)) {
            if (scenario)
                form.runScript(
                    std::make_unique<quillfen::win32::ScriptRunner>(form, ui, scenario->lines));
            result = runMessageLoop(form);
        }
    }
    if (log)
        std::fclose(log);
    ::CoUninitialize();
    return result;
}
