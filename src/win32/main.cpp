// quillfen.exe: the Windows window over the same editor as the Qt one.
#include "profiles/windows_registry_store.h"
#include "win32/main_window.h"

#include <objbase.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    quillfen::win32::prepareProcess();

    quillfen::WindowsRegistryStore store;
    quillfen::win32::Win32UserInterface ui;
    int result = 0;
    {
        quillfen::win32::MainWindow window(store, ui);
        if (window.create(instance, show))
            result = quillfen::win32::runMessageLoop(window);
    }
    ::CoUninitialize();
    return result;
}
