#include "win32/preview_window.h"

#include "editor/window_menus.h"
#include "host/windows_text.h"
#include "win32/owned_window_proc.h"
#include "win32/preview_view.h"
#include "win32/win32_user_interface.h"

namespace quillfen::win32 {
namespace {

constexpr wchar_t kWindowClass[] = L"QuillfenPreviewWindow";
// The menu bar's three sizes; each runs at once.
constexpr int kFirstSizeCommand = 100;

} // namespace

PreviewWindow::PreviewWindow(HINSTANCE instance, HWND owner) {
    registerOwnedClass<PreviewWindow, &PreviewWindow::window_, &PreviewWindow::handle>(
        instance, kWindowClass, COLOR_APPWORKSPACE);
    HMENU sizes = ::CreateMenu();
    for (int i = 0; i < 3; ++i)
        ::AppendMenuW(sizes, MF_STRING, kFirstSizeCommand + i,
                      wide(window::kPreviewSizes[i]).c_str());
    window_ = ::CreateWindowExW(0, kWindowClass, wide(window::kPreview).c_str(),
                                WS_OVERLAPPEDWINDOW | WS_HSCROLL | WS_VSCROLL, CW_USEDEFAULT,
                                CW_USEDEFAULT, 800, 300, owner, sizes, instance, this);
}

PreviewWindow::~PreviewWindow() {
    if (window_)
        ::DestroyWindow(window_);
    if (picture_)
        ::DeleteObject(picture_);
}

void PreviewWindow::showPicture(const preview::Image& picture, const std::string& title) {
    if (picture_)
        ::DeleteObject(picture_);
    picture_ = dibSection(picture);
    size_ = {picture.width, picture.height};
    std::string caption = window::kPreview;
    if (!title.empty())
        caption += ": " + title;
    ::SetWindowTextW(window_, widened(caption).c_str());
    origin_ = {};
    updateScrollBars();
    ::InvalidateRect(window_, nullptr, TRUE);
}

void PreviewWindow::open() {
    HWND owner = ::GetWindow(window_, GW_OWNER);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    ::GetMonitorInfoW(::MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    // Twice the picture's size, or the largest size the screen takes, each at the window's DPI.
    const int room = (work.right - work.left) * 9 / 10;
    const int dpi = static_cast<int>(::GetDpiForWindow(window_));
    const int wide = ::MulDiv(size_.cx, dpi, 96);
    chooseScale(2 * wide <= room ? 1 : wide <= room ? 0 : 2);
    SIZE shown = shownSize();
    if (scale_ == 2)
        shown = {room, room * size_.cy / std::max<LONG>(1, size_.cx)};
    const DWORD style = static_cast<DWORD>(::GetWindowLongW(window_, GWL_STYLE));
    RECT frame{0, 0, shown.cx, shown.cy};
    ::AdjustWindowRectExForDpi(&frame, style & ~(WS_HSCROLL | WS_VSCROLL), TRUE, 0,
                               static_cast<UINT>(dpi));
    const int w = std::min<int>(frame.right - frame.left, work.right - work.left);
    const int h = std::min<int>(frame.bottom - frame.top, work.bottom - work.top);
    // Centred on the main window, within the screen.
    RECT over{};
    ::GetWindowRect(owner, &over);
    const int x = std::clamp<int>((over.left + over.right - w) / 2, work.left, work.right - w);
    const int y = std::clamp<int>((over.top + over.bottom - h) / 2, work.top, work.bottom - h);
    ::SetWindowPos(window_, nullptr, x, y, w, h, SWP_NOZORDER);
    ::ShowWindow(window_, SW_SHOW);
    ::SetForegroundWindow(window_);
    updateScrollBars();
}

void PreviewWindow::chooseScale(int scale) {
    scale_ = scale;
    ::CheckMenuRadioItem(::GetMenu(window_), kFirstSizeCommand, kFirstSizeCommand + 2,
                         kFirstSizeCommand + scale, MF_BYCOMMAND);
}

SIZE PreviewWindow::shownSize() const {
    const int dpi = static_cast<int>(::GetDpiForWindow(window_));
    if (scale_ < 2)
        return {::MulDiv(size_.cx, (scale_ + 1) * dpi, 96),
                ::MulDiv(size_.cy, (scale_ + 1) * dpi, 96)};
    RECT client{};
    ::GetClientRect(window_, &client);
    return {client.right, client.right * size_.cy / std::max<LONG>(1, size_.cx)};
}

void PreviewWindow::updateScrollBars() {
    RECT client{};
    ::GetClientRect(window_, &client);
    const SIZE shown = shownSize();
    for (auto [bar, extent, page, at] :
         {std::tuple{SB_HORZ, shown.cx, client.right, &origin_.x},
          std::tuple{SB_VERT, shown.cy, client.bottom, &origin_.y}}) {
        *at = std::clamp<LONG>(*at, 0, std::max<LONG>(0, extent - page));
        SCROLLINFO info{};
        info.cbSize = sizeof(info);
        info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        info.nMax = extent - 1;
        info.nPage = static_cast<UINT>(page);
        info.nPos = *at;
        ::SetScrollInfo(window_, bar, &info, TRUE);
    }
}

void PreviewWindow::scroll(int bar, WPARAM request) {
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    ::GetScrollInfo(window_, bar, &info);
    int at = info.nPos;
    switch (LOWORD(request)) {
    case SB_LINEUP:
        at -= 16;
        break;
    case SB_LINEDOWN:
        at += 16;
        break;
    case SB_PAGEUP:
        at -= static_cast<int>(info.nPage);
        break;
    case SB_PAGEDOWN:
        at += static_cast<int>(info.nPage);
        break;
    case SB_THUMBTRACK:
        at = info.nTrackPos;
        break;
    }
    (bar == SB_HORZ ? origin_.x : origin_.y) = at;
    updateScrollBars();
    ::InvalidateRect(window_, nullptr, TRUE);
}

LRESULT PreviewWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (int size = LOWORD(wParam) - kFirstSizeCommand; size >= 0 && size < 3) {
            chooseScale(size);
            updateScrollBars();
            ::InvalidateRect(window_, nullptr, TRUE);
        }
        return 0;
    case WM_SIZE:
        updateScrollBars();
        ::InvalidateRect(window_, nullptr, TRUE);
        return 0;
    case WM_HSCROLL:
        scroll(SB_HORZ, wParam);
        return 0;
    case WM_VSCROLL:
        scroll(SB_VERT, wParam);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint{};
        HDC dc = ::BeginPaint(window_, &paint);
        const SIZE shown = shownSize();
        drawPicture(dc, picture_,
                    {-origin_.x, -origin_.y, shown.cx - origin_.x, shown.cy - origin_.y});
        ::EndPaint(window_, &paint);
        return 0;
    }
    case WM_KEYDOWN:
        if (wParam != VK_ESCAPE)
            break;
        [[fallthrough]];
    case WM_CLOSE:
        // Closing only hides it: the view opens it again.
        ::ShowWindow(window_, SW_HIDE);
        return 0;
    case WM_DESTROY:
        window_ = nullptr;
        return 0;
    }
    return ::DefWindowProcW(window_, message, wParam, lParam);
}

} // namespace quillfen::win32
