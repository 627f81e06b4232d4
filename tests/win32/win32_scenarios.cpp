// win32_scenarios SCRIPT NUMBER LOG: runs scenario NUMBER (counted from 1) of the user scenarios
// in SCRIPT through the Win32 window's own controls, its questions answered by the script, every
// text written to LOG. Exit code 0 when every line passed, 1 when one failed, 2 when there is no
// such scenario or no log. scripts/test-windows.sh runs it under Wine, each scenario on a fresh
// fixture.
#include "host/file_io.h"
#include "host/windows_text.h"
#include "profiles/windows_registry_store.h"
#include "script_runner.h"
#include "scripted_win32_user_interface.h"
#include "win32/main_window.h"

#include <cstdio>
#include <cwchar>
#include <objbase.h>

int wmain(int argc, wchar_t** argv) {
    using namespace quillfen;
    if (argc != 4)
        return 2;
    auto bytes = readWholeFile(narrowed(argv[1]), 1 << 20);
    if (!bytes)
        return 2;
    const auto scenarios = script::readScenarios(std::string(bytes->begin(), bytes->end()));
    const std::size_t number = std::wcstoul(argv[2], nullptr, 10);
    if (number < 1 || number > scenarios.size())
        return 2;
    const script::Scenario& scenario = scenarios[number - 1];
    std::FILE* log = ::_wfopen(argv[3], L"wb");
    if (!log)
        return 2;

    win32::prepareProcess();

    WindowsRegistryStore store;
    win32::ScriptedWin32UserInterface ui(log);
    ui.logLine("scenario " + scenario.name);
    int result = 1;
    {
        win32::MainWindow window(store, ui);
        if (window.create(::GetModuleHandleW(nullptr), SW_SHOWNORMAL)) {
            win32::ScriptRunner runner(window, ui, scenario.lines);
            win32::runMessageLoop(window);
            result = runner.exitCode();
        }
    }
    std::fclose(log);
    ::CoUninitialize();
    return result;
}
