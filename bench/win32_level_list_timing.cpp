// win32_level_list_timing FOLDER: how long the Win32 level-file list takes to show the level
// files of FOLDER as the window shows them: the Editor reads the folder, the list takes the names
// and draws the rows in view; then how long the count of its level files takes beside the
// window's thread, as the window has it done. Prints the best of a few runs;
// scripts/test-windows.sh runs it under Wine on a folder of 10,000 level files.
#include "editor/editor.h"
#include "host/windows_text.h"
#include "profiles/windows_registry_store.h"
#include "win32/level_file_list.h"
#include "win32/win32_user_interface.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>
#include <shellapi.h>
#include <string>

int main() {
    int count = 0;
    wchar_t** words = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (!words || count != 2)
        return 2;
    const std::string folder = quillfen::narrowed(words[1]);
    ::LocalFree(words);
    ::SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&controls);

    HWND frame = ::CreateWindowExW(0, WC_STATICW, L"timing", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                   400, 600, nullptr, nullptr, nullptr, nullptr);
    quillfen::WindowsRegistryStore store;
    quillfen::win32::Win32UserInterface ui;
    quillfen::Editor editor(store, ui);
    HANDLE counted = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
    editor.workBeside([counted] { ::SetEvent(counted); });
    quillfen::win32::LevelFileList list;
    HWND shown = list.create(frame, 1, nullptr,
                             [&](const std::string& name) { return editor.notALevel(name); });
    ::MoveWindow(shown, 0, 0, 380, 560, TRUE);

    constexpr int kRuns = 5;
    double best = 1e9, bestCount = 1e9;
    std::size_t listed = 0;
    std::string countText;
    for (int run = 0; run < kRuns; ++run) {
        list.show({});
        ::UpdateWindow(shown);
        auto start = std::chrono::steady_clock::now();
        quillfen::LevelFolder files = editor.openFolder(folder);
        listed = files.names.size();
        list.show(std::move(files.names));
        ::UpdateWindow(shown);
        std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
        std::optional<std::string> count;
        while (!count && ::WaitForSingleObject(counted, 60000) == WAIT_OBJECT_0)
            count = editor.takeLevelCount();
        took = std::chrono::steady_clock::now() - start;
        bestCount = std::min(bestCount, took.count());
        countText = count.value_or("no count");
    }
    std::printf("level-file list: %zu files listed and drawn in %.1f ms (best of %d); \"%s\" "
                "beside the window's thread after %.1f ms\n",
                listed, best, kRuns, countText.c_str(), bestCount);
    ::DestroyWindow(frame);
    return listed > 0 ? 0 : 1;
}
