// The Win32 window's promises that no user scenario can watch: what the screen shows after a
// resize, keys beyond the menus' table, what is kept for the next start, Help under Wine and the
// preview's own window.
// scripts/test-windows.sh runs it under Wine, beside readme.html.
#include "editor/window_menus.h"
#include "editor/window_texts.h"
#include "host/file_io.h"
#include "host/windows_text.h"
#include "levelfile/make_level_file.h"
#include "preview/make_graphics.h"
#include "profiles/windows_registry_store.h"
#include "scripted_win32_user_interface.h"
#include "win32/main_window.h"
#include "win32/resource.h"

#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace quillfen::win32 {
namespace {

// The messages of the window, as runMessageLoop handles them, until none is left.
void handleMessages(MainWindow& window) {
    for (int idle = 0; idle < 3; ++idle) {
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            idle = 0;
            if (window.translateAccelerator(message))
                continue;
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
        ::Sleep(20);
    }
}

// A key pressed with the modifiers given into the control that has the focus.
void press(MainWindow& window, UINT key, bool ctrl, bool shift) {
    BYTE keys[256];
    ::GetKeyboardState(keys);
    keys[VK_CONTROL] = keys[VK_LCONTROL] = ctrl ? 0x80 : 0;
    keys[VK_SHIFT] = keys[VK_LSHIFT] = shift ? 0x80 : 0;
    ::SetKeyboardState(keys);
    HWND focus = ::GetFocus() ? ::GetFocus() : window.handle();
    ::PostMessageW(focus, WM_KEYDOWN, key,
                   1 | static_cast<LPARAM>(::MapVirtualKeyW(key, MAPVK_VK_TO_VSC)) << 16);
    handleMessages(window);
    keys[VK_CONTROL] = keys[VK_LCONTROL] = keys[VK_SHIFT] = keys[VK_LSHIFT] = 0;
    ::SetKeyboardState(keys);
}

// The pixels a control shows on the screen now.
std::vector<COLORREF> shownPixels(HWND control) {
    RECT area{};
    ::GetClientRect(control, &area);
    HDC screen = ::GetDC(control);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP picture = ::CreateCompatibleBitmap(screen, area.right, area.bottom);
    HGDIOBJ before = ::SelectObject(memory, picture);
    ::BitBlt(memory, 0, 0, area.right, area.bottom, screen, 0, 0, SRCCOPY);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < area.bottom; ++y)
        for (int x = 0; x < area.right; ++x)
            pixels.push_back(::GetPixel(memory, x, y));
    ::SelectObject(memory, before);
    ::DeleteObject(picture);
    ::DeleteDC(memory);
    ::ReleaseDC(control, screen);
    return pixels;
}

// Each test starts the window with a settings folder of its own (%APPDATA%) as its working
// folder, the disclaimer agreed to; no profile is loaded.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        static bool prepared = false;
        if (!std::exchange(prepared, true))
            prepareProcess();
        wchar_t temp[MAX_PATH];
        ::GetTempPathW(MAX_PATH, temp);
        folder_ = narrowed(temp) + "quillfen-window-" + std::to_string(::GetCurrentProcessId()) +
                  "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
        ASSERT_TRUE(makeFolder(folder_).ok());
        ::SetCurrentDirectoryW(widened(folder_).c_str());
        ::SetEnvironmentVariableW(L"APPDATA", widened(folder_).c_str());
        ::_wputenv_s(L"APPDATA", widened(folder_).c_str());
        log_ = ::_wfopen(widened(pathIn(folder_, "log.txt")).c_str(), L"wb");
        ui_ = std::make_unique<ScriptedWin32UserInterface>(log_);
    }
    void TearDown() override {
        window_.reset();
        std::fclose(log_);
    }
    MainWindow& start() {
        window_.reset();
        window_ = std::make_unique<MainWindow>(store_, *ui_);
        EXPECT_TRUE(window_->create(::GetModuleHandleW(nullptr), SW_SHOWNORMAL));
        handleMessages(*window_);
        return *window_;
    }
    void closeWindow() {
        ::SendMessageW(window_->handle(), WM_CLOSE, 0, 0);
        handleMessages(*window_);
        ASSERT_FALSE(::IsWindow(window_->handle()));
    }
    HWND control(const char* name) const { return window_->controlNamed(name); }
    RECT placeOf(const char* name) const {
        RECT at{};
        ::GetWindowRect(control(name), &at);
        return at;
    }
    // The splitter dragged by `by` pixels, as the mouse drags it.
    void dragSplitter(int by) {
        RECT browser = placeOf(window::kLevelFileList.name);
        POINT at{browser.right + 2, (browser.top + browser.bottom) / 2};
        ::ScreenToClient(window_->handle(), &at);
        HWND main = window_->handle();
        ::SendMessageW(main, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
        for (int step = 1; step <= 4; ++step) {
            ::SendMessageW(main, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(at.x + by * step / 4, at.y));
            handleMessages(*window_);
        }
        ::SendMessageW(main, WM_LBUTTONUP, 0, MAKELPARAM(at.x + by, at.y));
        handleMessages(*window_);
    }

    std::string folder_;
    std::FILE* log_ = nullptr;
    WindowsRegistryStore store_;
    std::unique_ptr<ScriptedWin32UserInterface> ui_;
    std::unique_ptr<MainWindow> window_;
};

TEST_F(MainWindowTest, EveryControlShowsItsOwnPaintAfterTheFrameAndTheSplitterAreDragged) {
    MainWindow& window = start();
    RECT frame{};
    ::GetWindowRect(window.handle(), &frame);
    // The frame dragged wider and taller, a few steps as the mouse sends them.
    for (int step = 1; step <= 6; ++step) {
        ::SetWindowPos(window.handle(), nullptr, 0, 0, frame.right - frame.left + 30 * step,
                       frame.bottom - frame.top + 15 * step, SWP_NOMOVE | SWP_NOZORDER);
        handleMessages(window);
    }
    dragSplitter(-60);
    for (const char* name : {window::kLoadProfileButton.name, window::kCountLabel.name,
                             window::kAddLevelsButton.name, window::kSaveProfileButton.name}) {
        const std::vector<COLORREF> shown = shownPixels(control(name));
        ::RedrawWindow(control(name), nullptr, nullptr,
                       RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
        handleMessages(window);
        EXPECT_TRUE(shown == shownPixels(control(name))) << name << " is not drawn anew";
    }
}

TEST_F(MainWindowTest, CtrlShiftZRedoesAsCtrlYDoes) {
    MainWindow& window = start();
    ui_->queueAnswer("text:NEWDIR");
    ::SendMessageW(window.handle(), WM_COMMAND, ID_MENU_COMMAND + int(window::Command::AddGroup),
                   0);
    handleMessages(window);
    TreeView_EndEditLabelNow(control(window::kProfileTree.name), TRUE);
    ::SetFocus(control(window::kProfileTree.name));
    ASSERT_TRUE(window.editor().documentState().canUndo);
    press(window, 'Z', true, false);
    ASSERT_TRUE(window.editor().documentState().canRedo);
    press(window, 'Z', true, true);
    EXPECT_FALSE(window.editor().documentState().canRedo);
    EXPECT_TRUE(window.editor().documentState().canUndo);
}

TEST_F(MainWindowTest, TheWindowsSizeAndSplitterComeBackAtTheNextStart) {
    MainWindow& first = start();
    RECT frame{};
    ::GetWindowRect(first.handle(), &frame);
    ::SetWindowPos(first.handle(), nullptr, 0, 0, frame.right - frame.left + 123,
                   frame.bottom - frame.top + 45, SWP_NOMOVE | SWP_NOZORDER);
    handleMessages(first);
    dragSplitter(70);
    RECT kept{}, tree = placeOf(window::kProfileTree.name);
    ::GetWindowRect(first.handle(), &kept);
    closeWindow();

    MainWindow& second = start();
    RECT shown{};
    ::GetWindowRect(second.handle(), &shown);
    EXPECT_EQ(shown.right - shown.left, kept.right - kept.left);
    EXPECT_EQ(shown.bottom - shown.top, kept.bottom - kept.top);
    RECT treeShown = placeOf(window::kProfileTree.name);
    EXPECT_EQ(treeShown.left - shown.left, tree.left - kept.left);
    EXPECT_EQ(treeShown.right - treeShown.left, tree.right - tree.left);
}

// Under Wine a browser hand-off "succeeds" with no browser there: the program's own window
// shows the readme.
TEST_F(MainWindowTest, HelpShowsTheReadmeInTheProgramsOwnWindowUnderWine) {
    MainWindow& window = start();
    ::SetFocus(control(window::kProfileTree.name));
    const std::string before = ui_->lastMessage();
    press(window, VK_F1, false, false);
    HWND help = ::FindWindowW(nullptr, widened(window::kHelp).c_str());
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(::IsWindowVisible(help));
    std::wstring text;
    ::EnumChildWindows(
        help,
        [](HWND child, LPARAM found) {
            *reinterpret_cast<std::wstring*>(found) += textOfWindow(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&text));
    EXPECT_NE(text.find(L"With this tool you add your own levels"), std::wstring::npos);
    EXPECT_EQ(text.find(L"<p>"), std::wstring::npos);
    EXPECT_EQ(ui_->lastMessage(), before);
    press(window, VK_ESCAPE, false, false);
    EXPECT_FALSE(::IsWindow(help));
}

// View > Preview opens centred on the main window at twice the picture's size, or the largest
// size the screen takes, shown checked on its menu bar; Escape closes it.
TEST_F(MainWindowTest, ThePreviewWindowOpensCentredAtTheLargestSizeShownCheckedEscapeCloses) {
    MainWindow& window = start();
    testing::writeDosGraphics(folder_, 0, testing::testGraphics());
    ui_->queueAnswer("path:" + folder_.substr(3));
    ::SendMessageW(window.handle(), WM_COMMAND, ID_MENU_COMMAND + int(window::Command::GameFolder),
                   0);
    const std::string level = pathIn(folder_, "drawn.lvl");
    testing::writeBytes(level, testing::makeLevelFile({}, "Drawn"));
    window.openFile(level);
    HWND preview = nullptr;
    // The picture is drawn beside the window's thread.
    for (int wait = 0; wait < 100 && !(preview && ::IsWindowVisible(preview)); ++wait) {
        handleMessages(window);
        ::SendMessageW(window.handle(), WM_COMMAND, ID_MENU_COMMAND + int(window::Command::Preview),
                       0);
        preview = ::FindWindowW(L"QuillfenPreviewWindow", nullptr);
        ::Sleep(50);
    }
    ASSERT_TRUE(preview && ::IsWindowVisible(preview));
    RECT main{}, shown{};
    ::GetWindowRect(window.handle(), &main);
    ::GetWindowRect(preview, &shown);
    EXPECT_LE(std::abs((main.left + main.right) - (shown.left + shown.right)) / 2, 4);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    ::GetMonitorInfoW(::MonitorFromWindow(preview, MONITOR_DEFAULTTONEAREST), &monitor);
    const int room = (monitor.rcWork.right - monitor.rcWork.left) * 9 / 10;
    const int wide = ::MulDiv(1584, static_cast<int>(::GetDpiForWindow(preview)), 96);
    const int size = 2 * wide <= room ? 1 : wide <= room ? 0 : 2; // 1x, 2x, fit
    HMENU sizes = ::GetMenu(preview);
    for (int item = 0; item < 3; ++item)
        EXPECT_EQ((::GetMenuState(sizes, item, MF_BYPOSITION) & MF_CHECKED) != 0, item == size)
            << "size " << item;
    ::SendMessageW(preview, WM_KEYDOWN, VK_ESCAPE, 0);
    handleMessages(window);
    EXPECT_FALSE(::IsWindowVisible(preview));
}

} // namespace
} // namespace quillfen::win32
