// How long the level-file list takes to show a folder of 10,000 level files, as the window shows
// one: the Editor reads the folder, the list takes the names and draws the rows in view. Prints
// the best of a few runs; scripts/test-windows.sh runs it under Wine.
#include "editor/editor.h"
#include "host/windows_text.h"
#include "profiles/windows_registry_store.h"
#include "win32/level_file_list.h"
#include "win32/win32_user_interface.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

namespace {

constexpr int kFiles = 10000, kRuns = 5;

// A folder of `count` level-sized files in the temporary folder; its path.
std::wstring makeFolder(int count) {
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + L"quillfen-list-timing";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    const std::string level(2048, '\0');
    for (int i = 0; i < count; ++i) {
        wchar_t name[32];
        std::swprintf(name, 32, L"\\LEVEL%05d.lvl", i);
        HANDLE file = ::CreateFileW((folder + name).c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        ::WriteFile(file, level.data(), static_cast<DWORD>(level.size()), &written, nullptr);
        ::CloseHandle(file);
    }
    return folder;
}

} // namespace

int main() {
    ::SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&controls);
    const std::string folder = quillfen::narrowed(makeFolder(kFiles));

    HWND frame = ::CreateWindowExW(0, WC_STATICW, L"timing", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                   400, 600, nullptr, nullptr, nullptr, nullptr);
    quillfen::WindowsRegistryStore store;
    quillfen::win32::Win32UserInterface ui;
    quillfen::Editor editor(store, ui);
    quillfen::win32::LevelFileList list;
    HWND shown = list.create(frame, 1, nullptr,
                             [&](const std::string& name) { return editor.notALevel(name); });
    ::MoveWindow(shown, 0, 0, 380, 560, TRUE);

    double best = 1e9;
    std::size_t listed = 0;
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
    }
    std::printf("level-file list: %zu files listed and drawn in %.1f ms (best of %d)\n", listed,
                best, kRuns);
    ::DestroyWindow(frame);
    return listed == kFiles ? 0 : 1;
}
