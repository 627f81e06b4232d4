#pragma once

#include "editor/preview_service.h"

#include <memory>
#include <string>
#include <windows.h>

namespace quillfen {
class Editor;
}

namespace quillfen::win32 {

class PreviewWindow;
class Win32UserInterface;

// A picture of the game's as a 32-bit top-down DIB section (null for an empty picture), and
// that drawn into `to` of `dc`, shrunk or grown to it.
HBITMAP dibSection(const preview::Image& image);
void drawPicture(HDC dc, HBITMAP picture, const RECT& to);

// The selected level's picture, shrunk to the view's width, with its facts under it; without
// graphics, the facts and a line saying where to point the tool. A PreviewService draws it away
// from the window's thread and posts a message to the view when it is done. A double click
// opens it in a PreviewWindow.
class PreviewView {
public:
    PreviewView(HINSTANCE instance, HWND parent, Editor& editor);
    ~PreviewView();
    PreviewView(const PreviewView&) = delete;
    PreviewView& operator=(const PreviewView&) = delete;

    HWND handle() const { return window_; }
    // The level file at `hostPath` (empty: none), its graphics looked for where the Editor says.
    void showLevel(const std::string& hostPath);
    // View > Preview.
    void openWindow();
    // Options > Game folder... and DOS graphics folder...: the desktop's folder chooser; the
    // choice is kept.
    void chooseGameFolder(Win32UserInterface& ui);
    void chooseDosGraphicsFolder(Win32UserInterface& ui);

private:
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void takePreview();
    void paint();
    int pictureWidth() const;

    Editor& editor_;
    HINSTANCE instance_;
    HWND window_ = nullptr;
    HFONT font_ = nullptr; // the main window's, which it sets
    HBITMAP thumbnail_ = nullptr;
    std::unique_ptr<PreviewWindow> previewWindow_;
    std::string file_;
    int askedWidth_ = 0;
    LevelPreviewShown shown_;
    PreviewService service_;
};

} // namespace quillfen::win32
