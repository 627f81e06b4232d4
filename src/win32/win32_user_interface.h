#pragma once

#include "common/user_interface.h"

#include <functional>
#include <string>
#include <windows.h>

namespace quillfen::win32 {

// A text the core stores (Windows-1252) as the wide calls take it, and a typed text back. The
// core's messages are UTF-8 (widened).
std::wstring wide(const std::string& windows1252);
TextAnswer fromWide(const std::wstring& text);

// The questions and messages of the core as task dialogs with named buttons and an input box,
// and the desktop's dialogs that the window opens itself.
class Win32UserInterface : public UserInterface {
public:
    void setOwner(HWND owner) { owner_ = owner; }
    // Where every message goes besides its box: the window's list of messages, and for a report
    // of success or a refusal (`inStatusBar`) the status bar instead of a box.
    void onInform(std::function<void(const std::string& text, bool inStatusBar)> show) {
        inform_ = std::move(show);
    }

    // The disclaimer: I Agree and Quit with the information icon.
    bool agree(const std::string& text, const std::string& caption) override;

    void message(const std::string& text) override;
    void inform(const std::string& text) override;
    bool confirm(const std::string& text, const std::string& caption,
                 bool yesIsDefault = true) override;
    bool proceed(const std::string& text, const std::string& caption, const std::string& accept,
                 bool acceptIsDefault = true) override;
    SaveChoice askToSave(const std::string& text) override;
    TextAnswer input(const std::string& prompt, const std::string& title,
                     const std::string& proposed) override;

    // The desktop's folder chooser and its open-file dialog for a level pack, each starting in
    // the host folder `start`: the chosen host path, empty when cancelled.
    virtual std::string chooseFolder(const char* title, const std::string& start);
    virtual std::string chooseLevelPack(const std::string& start);
    // Opens readme.html, which lies beside the program, in the desktop's browser; false when
    // that cannot be done.
    virtual bool openReadme();

private:
    std::string chooseFile(const std::wstring& title, const std::string& start, bool folder);

    HWND owner_ = nullptr;
    std::function<void(const std::string&, bool)> inform_;
};

} // namespace quillfen::win32
