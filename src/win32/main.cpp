// quillfen.exe: the Windows window over the same editor as the Qt one.
//   quillfen.exe [FILE]   FILE, a level file or a DOS level pack, opens once the window shows
#include "host/windows_text.h"
#include "profiles/windows_registry_store.h"
#include "win32/main_window.h"

#include <objbase.h>
#include <shellapi.h>
#include <string>

namespace {

// The full path of the file named on the command line (Explorer's "Open with" names it so
// too); empty when none is named.
std::string fileToOpen() {
    int count = 0;
    LPWSTR* arguments = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::wstring path;
    if (arguments != nullptr && count > 1) {
        // The first call gives the room the path needs, its terminating zero included.
        path.resize(::GetFullPathNameW(arguments[1], 0, nullptr, nullptr));
        path.resize(::GetFullPathNameW(arguments[1], static_cast<DWORD>(path.size()), path.data(),
                                       nullptr));
    }
    ::LocalFree(arguments);
    return path.empty() ? std::string() : quillfen::narrowed(path);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    quillfen::win32::prepareProcess();

    quillfen::WindowsRegistryStore store;
    quillfen::win32::Win32UserInterface ui;
    int result = 0;
    {
        quillfen::win32::MainWindow window(store, ui);
        if (window.create(instance, show)) {
            if (std::string file = fileToOpen(); !file.empty())
                window.openFile(file);
            result = quillfen::win32::runMessageLoop(window);
        }
    }
    ::CoUninitialize();
    return result;
}
