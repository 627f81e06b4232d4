#pragma once

#include "preview/image.h"

#include <string>
#include <windows.h>

namespace quillfen::win32 {

// A level's picture in a window of its own that scrolls: at its own size, twice that, or fit to
// the window's width, chosen on its menu bar and checked there; Escape closes it. It opens
// centred on its owner, at twice the picture's size or the largest that fits the screen, each
// size at the window's DPI.
class PreviewWindow {
public:
    PreviewWindow(HINSTANCE instance, HWND owner);
    ~PreviewWindow();
    PreviewWindow(const PreviewWindow&) = delete;
    PreviewWindow& operator=(const PreviewWindow&) = delete;

    // Shows `picture` (copied) from now on; open() opens the window.
    void showPicture(const preview::Image& picture, const std::string& title);
    void open();
    bool isOpen() const { return window_ && ::IsWindowVisible(window_); }

private:
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    // The picture's size as shown, and the scroll bars that go with it.
    SIZE shownSize() const;
    // Shows `scale` (0: 1x, 1: 2x, 2: fit) checked on the menu bar.
    void chooseScale(int scale);
    void updateScrollBars();
    void scroll(int bar, WPARAM request);

    HWND window_ = nullptr;
    HBITMAP picture_ = nullptr;
    SIZE size_{};
    int scale_ = 2; // 0: 1x, 1: 2x, 2: fit
    POINT origin_{};
};

} // namespace quillfen::win32
