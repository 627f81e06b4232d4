#include "win32/script_runner.h"

#include "host/file_io.h"
#include "host/windows_text.h"
#include "win32/main_window.h"
#include "win32/resource.h"
#include "win32/tree_view.h"
#include "win32/win32_user_interface.h"

#include <functional>
#include <map>
#include <sstream>

namespace quillfen::win32 {
namespace {

std::wstring textOfWindow(HWND window) {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        ::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

// Calls `visit` with every item of `tree` and its depth, depth first, until it returns true.
bool visitItems(HWND tree, HTREEITEM first, int depth,
                const std::function<bool(HTREEITEM, int)>& visit) {
    for (HTREEITEM item = first; item; item = TreeView_GetNextSibling(tree, item))
        if (visit(item, depth) || visitItems(tree, TreeView_GetChild(tree, item), depth + 1, visit))
            return true;
    return false;
}

} // namespace

std::vector<std::string> readScript(const std::wstring& path) {
    std::vector<std::string> lines;
    auto bytes = readWholeFile(narrowed(path), 1 << 20);
    if (!bytes)
        return lines;
    std::string line;
    for (unsigned char byte : *bytes) {
        if (byte == '\n') {
            if (!line.empty())
                lines.push_back(line);
            line.clear();
        } else if (byte != '\r') {
            line += static_cast<char>(byte);
        }
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

ScriptRunner::ScriptRunner(const MainWindow& window, Win32UserInterface& ui,
                           std::vector<std::string> lines)
    : window_(window), ui_(ui), tree_(window.controlNamed("profileTree")),
      lines_(std::move(lines)) {}

void ScriptRunner::runNextLine() {
    if (next_ >= lines_.size() || !::IsWindow(window_.handle()))
        return;
    std::istringstream line(lines_[next_++]);
    std::string verb, rest;
    line >> verb;
    std::getline(line >> std::ws, rest);
    ui_.logLine("> " + verb + (rest.empty() ? "" : " " + rest));
    run(verb, rest);
    if (::IsWindow(window_.handle())) {
        ui_.logLine("caption: " + narrowed(textOfWindow(window_.handle())));
        ::PostMessageW(window_.handle(), kRunScript, 0, 0);
    }
}

void ScriptRunner::run(const std::string& verb, const std::string& rest) {
    HWND window = window_.handle();
    if (verb == "answer") {
        ui_.queueAnswer(rest);
    } else if (verb == "click") {
        ::SendMessageW(window_.controlNamed(rest), BM_CLICK, 0, 0);
    } else if (verb == "select-files") {
        HWND files = window_.controlNamed("levelFileList");
        ::SendMessageW(files, LB_SETSEL, FALSE, -1);
        std::istringstream rows(rest);
        for (int row; rows >> row;)
            ::SendMessageW(files, LB_SETSEL, TRUE, row);
    } else if (verb == "select-node") {
        ::SendMessageW(tree_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(itemOf(rest)));
    } else if (verb == "rename") {
        std::string key = rest.substr(0, rest.find(' '));
        ::SetFocus(tree_);
        HWND edit = TreeView_EditLabel(tree_, itemOf(key));
        ::SetWindowTextW(edit, widened(rest.substr(key.size() + 1)).c_str());
        TreeView_EndEditLabelNow(tree_, FALSE);
    } else if (verb == "key") {
        static const std::map<std::string, int> kKeys = {
            {"save", ID_SAVE}, {"undo", ID_UNDO}, {"redo", ID_REDO},     {"delete", ID_DELETE},
            {"up", ID_UP},     {"down", ID_DOWN}, {"rename", ID_RENAME}, {"refresh", ID_REFRESH}};
        // As the accelerator table sends it: 1 in the high word.
        ::SendMessageW(window, WM_COMMAND, MAKEWPARAM(kKeys.at(rest), 1), 0);
    } else if (verb == "text") {
        std::string name = rest.substr(0, rest.find(' '));
        ::SetWindowTextW(window_.controlNamed(name), widened(rest.substr(name.size() + 1)).c_str());
    } else if (verb == "log-tree") {
        logTree();
    } else if (verb == "close") {
        ::SendMessageW(window, WM_CLOSE, 0, 0);
    }
}

HTREEITEM ScriptRunner::itemOf(const std::string& key) const {
    HTREEITEM found = nullptr;
    visitItems(tree_, TreeView_GetRoot(tree_), 0, [&](HTREEITEM item, int) {
        if (TreeViewSync::node(tree_, item)->key() != key)
            return false;
        found = item;
        return true;
    });
    return found;
}

void ScriptRunner::logTree() const {
    visitItems(tree_, TreeView_GetRoot(tree_), 0, [&](HTREEITEM item, int depth) {
        wchar_t text[256] = {};
        TVITEMW data{};
        data.mask = TVIF_TEXT;
        data.hItem = item;
        data.pszText = text;
        data.cchTextMax = 256;
        TreeView_GetItem(tree_, &data);
        ui_.logLine(std::string(static_cast<std::size_t>(depth) * 2, ' ') +
                    TreeViewSync::node(tree_, item)->key() + " " + narrowed(text));
        return false;
    });
}

} // namespace quillfen::win32
