#pragma once

#include <windows.h>

// The ids of the main window's controls, and the measures that place them: every size comes
// from the window's font at its DPI, so that the window follows the desktop's text size.

namespace quillfen::win32 {

enum ControlId : int {
    IdProfileLabel = 2000,
    IdProfileBox,
    IdLoadProfileButton,
    IdFolderLabel,
    IdFolderPathEdit,
    IdBrowseFolderButton,
    IdFolderList,
    IdLevelFileList,
    IdLevelCountLabel,
    IdDeleteLevelButton,
    IdAddLevelsButton,
    IdProfileTree,
    IdAddGroupButton,
    IdDeleteGroupButton,
    IdMoveUpButton,
    IdMoveDownButton,
    IdAddSetButton,
    IdDeleteSetButton,
    IdGroupFolderLabel,
    IdGroupFolderEdit,
    IdUpdateFolderButton,
    IdLevelFileLabel,
    IdLevelFileEdit,
    IdUpdateFileButton,
    IdSaveProfileButton,
    // The nine count boxes follow one another: lemmings, then climbers to diggers.
    IdLemmingsEdit,
    IdClimbersEdit,
    IdSaveLevelInfoButton = IdLemmingsEdit + 9,
    IdProgressBar,
    IdPreviewArea,
    // The nine names above the count boxes, in the same order.
    IdCountNames,
    IdStatus = IdCountNames + 9,
    IdLevelPathLabel,
};

inline constexpr int kCountBoxes = 9;
// The lines of text the preview area keeps under the level's picture: its three facts and a note.
inline constexpr int kPreviewTextLines = 4;

// The measures of the window's font, from which every place is computed.
// The measures of `font` as `window` draws text.
inline TEXTMETRICW textMetricsOf(HWND window, HFONT font) {
    HDC dc = ::GetDC(window);
    HGDIOBJ before = ::SelectObject(dc, font);
    TEXTMETRICW text{};
    ::GetTextMetricsW(dc, &text);
    ::SelectObject(dc, before);
    ::ReleaseDC(window, dc);
    return text;
}

struct FontMeasures {
    int lineHeight = 16; // a line of text
    int charWidth = 7;   // an average character
    int rowHeight = 24;  // a button, a text box, a combo box
    int gap = 4;         // between neighbours
    int margin = 8;      // around the client area
    int splitterWidth = 6;

    static FontMeasures of(const TEXTMETRICW& font) {
        FontMeasures measures;
        measures.lineHeight = font.tmHeight;
        measures.charWidth = font.tmAveCharWidth;
        // Buttons and text boxes 14 dialog units tall, as Windows' own dialogs make them.
        measures.rowHeight = ::MulDiv(font.tmHeight, 14, 8);
        measures.gap = font.tmHeight / 4 + 1;
        measures.margin = font.tmHeight / 2;
        measures.splitterWidth = measures.gap + 2;
        return measures;
    }
};

} // namespace quillfen::win32
