#pragma once

#include "editing/editing_commands.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

namespace quillfen::win32 {

// The level-file list: a list view that asks for its rows as they are drawn (LVS_OWNERDATA), so
// that a folder of thousands of files is shown at once. A file that is no Windows level file is
// greyed, with the reason as its tooltip; the reason is asked for only when the row is drawn.
class LevelFileList {
public:
    // Why the file `name` is no level file; empty when it is one.
    using Reason = std::function<std::string(const std::string& name)>;

    // Makes the control as a child of `parent` with the id `id`.
    HWND create(HWND parent, int id, HINSTANCE instance, Reason reason);
    HWND handle() const { return list_; }

    // Shows `names` (host names, UTF-8), none selected, or those of the names selected before.
    void show(std::vector<std::string> names, bool keepSelection = false);
    const std::vector<std::string>& names() const { return names_; }
    // The names with the rows the user selected and the focused row, as Add Selected Level(s)
    // takes them.
    FileListSelection selection() const;
    // Selects `rows` and nothing else.
    void select(const std::vector<int>& rows);
    // The one column fills the control's width.
    void fitColumn();

    // The list's notifications (WM_NOTIFY from it): what to return.
    LRESULT notify(NMHDR* header);

private:
    const std::string& reasonFor(int row);

    HWND list_ = nullptr;
    Reason reason_;
    std::vector<std::string> names_;
    // The reasons asked for so far, by row; std::nullopt: not asked yet.
    std::vector<std::optional<std::string>> reasons_;
    std::wstring shown_;
};

} // namespace quillfen::win32
