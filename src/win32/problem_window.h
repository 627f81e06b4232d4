#pragma once

#include "editor/problem_rows.h"

#include <functional>
#include <string>
#include <vector>
#include <windows.h>

namespace quillfen::win32 {

// View > Problems: every problem of the profile check in a window of its own, one a row of a
// report-style list. A click or Enter on a row tells `chosen` its key cell (empty for a note on
// the whole install).
class ProblemWindow {
public:
    ProblemWindow(HINSTANCE instance, HWND owner,
                  std::function<void(const std::string& key)> chosen);
    ~ProblemWindow();
    ProblemWindow(const ProblemWindow&) = delete;
    ProblemWindow& operator=(const ProblemWindow&) = delete;

    void fill(const std::vector<window::ProblemRow>& rows);
    void open();
    bool isOpen() const { return window_ && ::IsWindowVisible(window_); }
    // The list, which takes the main window's font.
    HWND list() const { return list_; }

private:
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void choose(int row);

    HWND window_ = nullptr;
    HWND list_ = nullptr;
    std::function<void(const std::string& key)> chosen_;
    std::vector<std::string> keys_;
};

} // namespace quillfen::win32
