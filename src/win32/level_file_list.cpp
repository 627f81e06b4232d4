#include "win32/level_file_list.h"

#include "host/windows_text.h"
#include "win32/win32_user_interface.h"

#include <set>

namespace quillfen::win32 {

HWND LevelFileList::create(HWND parent, int id, HINSTANCE instance, Reason reason) {
    reason_ = std::move(reason);
    list_ = ::CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA |
                                  LVS_NOCOLUMNHEADER | LVS_SHOWSELALWAYS,
                              0, 0, 10, 10, parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    ListView_SetExtendedListViewStyle(list_,
                                      LVS_EX_INFOTIP | LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    column.cx = 100;
    ListView_InsertColumn(list_, 0, &column);
    return list_;
}

void LevelFileList::show(std::vector<std::string> names, bool keepSelection) {
    std::set<std::string> selected;
    if (keepSelection)
        for (int row = ListView_GetNextItem(list_, -1, LVNI_SELECTED); row >= 0;
             row = ListView_GetNextItem(list_, row, LVNI_SELECTED))
            selected.insert(names_[static_cast<std::size_t>(row)]);
    names_ = std::move(names);
    reasons_.assign(names_.size(), std::nullopt);
    ListView_SetItemState(list_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    // One message for all rows: the list asks for the texts of those it draws.
    ListView_SetItemCountEx(list_, static_cast<int>(names_.size()),
                            keepSelection ? LVSICF_NOSCROLL : 0);
    for (std::size_t row = 0; !selected.empty() && row < names_.size(); ++row)
        if (selected.count(names_[row]))
            ListView_SetItemState(list_, static_cast<int>(row), LVIS_SELECTED, LVIS_SELECTED);
    ::InvalidateRect(list_, nullptr, TRUE);
}

FileListSelection LevelFileList::selection() const {
    FileListSelection files;
    files.current = ListView_GetNextItem(list_, -1, LVNI_FOCUSED);
    files.selected.assign(names_.size(), false);
    for (int row = ListView_GetNextItem(list_, -1, LVNI_SELECTED); row >= 0;
         row = ListView_GetNextItem(list_, row, LVNI_SELECTED))
        files.selected[static_cast<std::size_t>(row)] = true;
    files.names.reserve(names_.size());
    for (const std::string& name : names_)
        files.names.push_back(fromWide(widened(name)));
    return files;
}

void LevelFileList::select(const std::vector<int>& rows) {
    ListView_SetItemState(list_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    for (int row : rows)
        ListView_SetItemState(list_, row, LVIS_SELECTED, LVIS_SELECTED);
    if (!rows.empty())
        ListView_SetItemState(list_, rows.front(), LVIS_FOCUSED, LVIS_FOCUSED);
}

void LevelFileList::fitColumn() {
    RECT client{};
    ::GetClientRect(list_, &client);
    ListView_SetColumnWidth(list_, 0, client.right - ::GetSystemMetrics(SM_CXVSCROLL));
}

const std::string& LevelFileList::reasonFor(int row) {
    auto& reason = reasons_[static_cast<std::size_t>(row)];
    if (!reason)
        reason = reason_(names_[static_cast<std::size_t>(row)]);
    return *reason;
}

LRESULT LevelFileList::notify(NMHDR* header) {
    switch (header->code) {
    case LVN_GETDISPINFOW: {
        auto& item = reinterpret_cast<NMLVDISPINFOW*>(header)->item;
        if ((item.mask & LVIF_TEXT) && item.iItem < static_cast<int>(names_.size())) {
            shown_ = widened(names_[static_cast<std::size_t>(item.iItem)]);
            item.pszText = shown_.data();
        }
        return 0;
    }
    case LVN_GETINFOTIPW: {
        auto* tip = reinterpret_cast<NMLVGETINFOTIPW*>(header);
        if (tip->iItem < 0 || tip->iItem >= static_cast<int>(names_.size()))
            return 0;
        std::wstring text = widened(reasonFor(tip->iItem));
        if (!text.empty() && tip->cchTextMax > 0)
            ::lstrcpynW(tip->pszText, text.c_str(), tip->cchTextMax);
        return 0;
    }
    case NM_CUSTOMDRAW: {
        auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
        if (draw->nmcd.dwDrawStage == CDDS_PREPAINT)
            return CDRF_NOTIFYITEMDRAW;
        if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
            auto row = static_cast<int>(draw->nmcd.dwItemSpec);
            if (row < static_cast<int>(names_.size()) && !reasonFor(row).empty())
                draw->clrText = ::GetSysColor(COLOR_GRAYTEXT);
        }
        return CDRF_DODEFAULT;
    }
    }
    return 0;
}

} // namespace quillfen::win32
