#pragma once

#include <windows.h>

namespace quillfen::win32 {

// The window procedure of a window class whose windows are made with their owner object as
// CreateWindowExW's last argument: at WM_NCCREATE the object is kept with the window and gets
// its handle (`Window`); from then on every message goes to the object's `Handle`, and those
// before and after WM_DESTROY to DefWindowProcW: the object may be gone by then.
template <class Owner, HWND Owner::*Window, LRESULT (Owner::*Handle)(UINT, WPARAM, LPARAM)>
LRESULT CALLBACK ownedWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(window, GWLP_USERDATA,
                            reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        static_cast<Owner*>(create->lpCreateParams)->*Window = window;
    }
    auto* owner = reinterpret_cast<Owner*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!owner)
        return ::DefWindowProcW(window, message, wParam, lParam);
    const LRESULT result = (owner->*Handle)(message, wParam, lParam);
    if (message == WM_DESTROY)
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    return result;
}

// Registers the class `name` of windows made with their owner object, their procedure
// ownedWindowProc, the arrow cursor and the system colour `background` (COLOR_WINDOW...).
template <class Owner, HWND Owner::*Window, LRESULT (Owner::*Handle)(UINT, WPARAM, LPARAM)>
void registerOwnedClass(HINSTANCE instance, const wchar_t* name, int background, UINT style = 0,
                        HICON icon = nullptr) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = style;
    windowClass.lpfnWndProc = ownedWindowProc<Owner, Window, Handle>;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(background + 1));
    windowClass.lpszClassName = name;
    windowClass.hIcon = icon;
    ::RegisterClassExW(&windowClass);
}

} // namespace quillfen::win32
