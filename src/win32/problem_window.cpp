#include "win32/problem_window.h"

#include "editor/window_menus.h"
#include "host/windows_text.h"
#include "win32/owned_window_proc.h"
#include "win32/win32_user_interface.h"

#include <algorithm>
#include <commctrl.h>

namespace quillfen::win32 {
namespace {

constexpr wchar_t kWindowClass[] = L"QuillfenProblemWindow";

} // namespace

ProblemWindow::ProblemWindow(HINSTANCE instance, HWND owner,
                             std::function<void(const std::string& key)> chosen)
    : chosen_(std::move(chosen)) {
    registerOwnedClass<ProblemWindow, &ProblemWindow::window_, &ProblemWindow::handle>(
        instance, kWindowClass, COLOR_WINDOW);
    window_ =
        ::CreateWindowExW(0, kWindowClass, wide(window::kProblems).c_str(), WS_OVERLAPPEDWINDOW,
                          CW_USEDEFAULT, CW_USEDEFAULT, 800, 300, owner, nullptr, instance, this);
    list_ = ::CreateWindowExW(0, WC_LISTVIEWW, L"",
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL |
                                  LVS_SHOWSELALWAYS,
                              0, 0, 0, 0, window_, nullptr, instance, nullptr);
    ListView_SetExtendedListViewStyle(list_, LVS_EX_FULLROWSELECT);
    for (int c = 0; c < static_cast<int>(std::size(window::kProblemColumns)); ++c) {
        std::wstring title = wide(window::kProblemColumns[c]);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_SUBITEM;
        column.pszText = title.data();
        column.iSubItem = c;
        ListView_InsertColumn(list_, c, &column);
    }
}

ProblemWindow::~ProblemWindow() {
    if (window_)
        ::DestroyWindow(window_);
}

void ProblemWindow::fill(const std::vector<window::ProblemRow>& rows) {
    ::SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
    ListView_DeleteAllItems(list_);
    keys_.clear();
    for (const window::ProblemRow& row : rows) {
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(keys_.size());
        for (int c = 0; c < static_cast<int>(row.size()); ++c) {
            std::wstring text = widened(row[static_cast<std::size_t>(c)]);
            item.iSubItem = c;
            item.pszText = text.data();
            if (c == 0)
                item.iItem = ListView_InsertItem(list_, &item);
            else
                ListView_SetItem(list_, &item);
        }
        keys_.push_back(row[window::kProblemKeyColumn]);
    }
    // Each column as wide as its widest cell or its heading. The heading's width alone gives the
    // last column what is left of the list, a sliver when the others take it all.
    for (int c = 0; c < static_cast<int>(std::size(window::kProblemColumns)); ++c) {
        ListView_SetColumnWidth(list_, c, LVSCW_AUTOSIZE);
        const int cells = ListView_GetColumnWidth(list_, c);
        ListView_SetColumnWidth(list_, c, LVSCW_AUTOSIZE_USEHEADER);
        ListView_SetColumnWidth(list_, c, std::max(cells, ListView_GetColumnWidth(list_, c)));
    }
    ::SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list_, nullptr, TRUE);
}

void ProblemWindow::open() {
    ::ShowWindow(window_, SW_SHOW);
    ::SetForegroundWindow(window_);
    ::SetFocus(list_);
}

void ProblemWindow::choose(int row) {
    if (row >= 0 && static_cast<std::size_t>(row) < keys_.size())
        chosen_(keys_[static_cast<std::size_t>(row)]);
}

LRESULT ProblemWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE:
        ::MoveWindow(list_, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    case WM_SETFOCUS:
        ::SetFocus(list_);
        return 0;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->hwndFrom != list_)
            break;
        if (header->code == NM_CLICK)
            choose(reinterpret_cast<NMITEMACTIVATE*>(header)->iItem);
        else if (header->code == NM_RETURN)
            choose(ListView_GetNextItem(list_, -1, LVNI_FOCUSED));
        return 0;
    }
    case WM_CLOSE:
        // Closing only hides it: the menu opens it again.
        ::ShowWindow(window_, SW_HIDE);
        return 0;
    case WM_DESTROY:
        window_ = list_ = nullptr;
        return 0;
    }
    return ::DefWindowProcW(window_, message, wParam, lParam);
}

} // namespace quillfen::win32
