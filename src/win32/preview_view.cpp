#include "win32/preview_view.h"

#include "editor/editor.h"
#include "editor/window_texts.h"
#include "host/windows_text.h"
#include "win32/control_layout.h"
#include "win32/owned_window_proc.h"
#include "win32/preview_window.h"
#include "win32/win32_user_interface.h"

namespace quillfen::win32 {
namespace {

constexpr wchar_t kViewClass[] = L"QuillfenPreviewView";
// Posted by the service's worker: a preview is done.
constexpr UINT kPreviewReady = WM_APP + 2;

} // namespace

HBITMAP dibSection(const preview::Image& image) {
    if (image.empty())
        return nullptr;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = image.width;
    info.bmiHeader.biHeight = -image.height; // top-down, as the picture's rows are
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap)
        return nullptr;
    // A DIB's pixel is B, G, R and an unused byte in memory.
    auto* out = static_cast<std::uint32_t*>(bits);
    for (std::size_t i = 0; i < image.pixels.size(); ++i) {
        auto [r, g, b, a] = preview::channels(image.pixels[i]);
        out[i] = static_cast<std::uint32_t>(b | g << 8 | r << 16);
    }
    return bitmap;
}

void drawPicture(HDC dc, HBITMAP picture, const RECT& to) {
    BITMAP size{};
    if (!picture || !::GetObjectW(picture, sizeof(size), &size))
        return;
    HDC memory = ::CreateCompatibleDC(dc);
    HGDIOBJ old = ::SelectObject(memory, picture);
    // Shrinking takes the mean of the pixels; growing keeps them sharp.
    ::SetStretchBltMode(dc, to.right - to.left < size.bmWidth ? HALFTONE : COLORONCOLOR);
    ::SetBrushOrgEx(dc, 0, 0, nullptr);
    ::StretchBlt(dc, to.left, to.top, to.right - to.left, to.bottom - to.top, memory, 0, 0,
                 size.bmWidth, size.bmHeight, SRCCOPY);
    ::SelectObject(memory, old);
    ::DeleteDC(memory);
}

PreviewView::PreviewView(HINSTANCE instance, HWND parent, Editor& editor)
    : editor_(editor), instance_(instance),
      // The worker wakes the window's thread, which takes the preview; a message posted to a
      // view that is gone goes nowhere.
      service_([this] { ::PostMessageW(window_, kPreviewReady, 0, 0); }) {
    registerOwnedClass<PreviewView, &PreviewView::window_, &PreviewView::handle>(
        instance, kViewClass, COLOR_BTNFACE, CS_DBLCLKS);
    window_ = ::CreateWindowExW(0, kViewClass, L"", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, parent,
                                nullptr, instance, this);
}

PreviewView::~PreviewView() {
    if (thumbnail_)
        ::DeleteObject(thumbnail_);
}

LRESULT PreviewView::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case kPreviewReady:
        takePreview();
        return 0;
    case WM_PAINT:
        paint();
        return 0;
    case WM_SETFONT:
        font_ = reinterpret_cast<HFONT>(wParam);
        return 0;
    case WM_SIZE:
        // A thumbnail of the new width, drawn from the set decoded already.
        if (!file_.empty() && pictureWidth() != askedWidth_)
            showLevel(file_);
        return 0;
    case WM_LBUTTONDBLCLK:
        if (thumbnail_)
            openWindow();
        return 0;
    }
    return ::DefWindowProcW(window_, message, wParam, lParam);
}

int PreviewView::pictureWidth() const {
    RECT client{};
    ::GetClientRect(window_, &client);
    return client.right;
}

void PreviewView::showLevel(const std::string& hostPath) {
    file_ = hostPath;
    askedWidth_ = pictureWidth();
    service_.show(hostPath, editor_.graphicsPlaces(), askedWidth_);
}

void PreviewView::takePreview() {
    std::optional<LevelPreviewShown> shown = service_.take();
    if (!shown)
        return;
    shown_ = std::move(*shown);
    if (thumbnail_)
        ::DeleteObject(thumbnail_);
    thumbnail_ = dibSection(shown_.thumbnail);
    ::InvalidateRect(window_, nullptr, TRUE);
    if (previewWindow_ && previewWindow_->isOpen())
        previewWindow_->showPicture(shown_.picture,
                                    shown_.facts.empty() ? std::string() : shown_.facts.front());
}

void PreviewView::paint() {
    PAINTSTRUCT paint{};
    HDC dc = ::BeginPaint(window_, &paint);
    RECT client{};
    ::GetClientRect(window_, &client);
    int top = 0;
    if (thumbnail_) {
        // As wide as the view, or as tall as the room above the facts' lines leaves it.
        const int lines = kPreviewTextLines * textMetricsOf(window_, font_).tmHeight;
        const int width = shown_.thumbnail.width, height = shown_.thumbnail.height;
        int shownWidth = client.right;
        top = shownWidth * height / std::max(1, width);
        if (top > client.bottom - lines) {
            top = std::max<int>(0, client.bottom - lines);
            shownWidth = top * width / std::max(1, height);
        }
        drawPicture(dc, thumbnail_, {0, 0, shownWidth, top});
        top += 2;
    }
    std::string text;
    for (const std::string& line : shown_.facts)
        text += line + "\r\n";
    text += shown_.note;
    HGDIOBJ old = ::SelectObject(dc, font_ ? font_ : ::GetStockObject(DEFAULT_GUI_FONT));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
    RECT lines{0, top, client.right, client.bottom};
    std::wstring shownText = widened(text);
    ::DrawTextW(dc, shownText.c_str(), static_cast<int>(shownText.size()), &lines,
                DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    ::SelectObject(dc, old);
    ::EndPaint(window_, &paint);
}

void PreviewView::openWindow() {
    if (!previewWindow_)
        previewWindow_ =
            std::make_unique<PreviewWindow>(instance_, ::GetAncestor(window_, GA_ROOT));
    previewWindow_->showPicture(shown_.picture,
                                shown_.facts.empty() ? std::string() : shown_.facts.front());
    previewWindow_->open();
}

void PreviewView::chooseGameFolder(Win32UserInterface& ui) {
    std::string folder = ui.chooseFolder(window::kGameFolderTitle, editor_.levelFolder());
    if (folder.empty())
        return;
    editor_.chooseGameFolder(folder);
    service_.forgetGraphics();
    showLevel(file_);
}

void PreviewView::chooseDosGraphicsFolder(Win32UserInterface& ui) {
    std::string folder = ui.chooseFolder(window::kDosGraphicsTitle, editor_.levelFolder());
    if (folder.empty())
        return;
    editor_.chooseDosGraphicsFolder(folder);
    service_.forgetGraphics();
    showLevel(file_);
}

} // namespace quillfen::win32
