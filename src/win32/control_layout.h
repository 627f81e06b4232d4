#pragma once

// The ids of the main window's controls and where each stands, in twips (1/1440 inch) as the
// game's editor placed them; MainWindow::layOut turns them into pixels for the window's DPI.

namespace quillfen::win32 {

// The ids of the controls, in the order of the table below.
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
    IdGroupFolderEdit,
    IdUpdateFolderButton,
    IdNodeInfoButton,
    IdLevelFileEdit,
    IdUpdateFileButton,
    IdSaveProfileButton,
    // The nine count boxes follow one another: lemmings, then climbers to diggers.
    IdLemmingsEdit,
    IdClimbersEdit,
    IdSaveLevelInfoButton = IdLemmingsEdit + 9,
    IdProgressBar,
    // The nine names above the count boxes, in the same order.
    IdCountNames,
    IdStatus = IdCountNames + 9
};

inline constexpr int kCountBoxes = 9;

// Where each control stands (left, top, width, height); the count boxes and their names stand
// in the row below.
struct Place {
    int id, left, top, width, height;
};

inline constexpr Place kPlaces[] = {
    {IdProfileLabel, 120, 120, 2655, 255},          {IdProfileBox, 2640, 120, 1695, 315},
    {IdLoadProfileButton, 4440, 120, 1095, 375},    {IdFolderLabel, 120, 600, 1455, 255},
    {IdFolderPathEdit, 1560, 570, 3255, 285},       {IdBrowseFolderButton, 4920, 570, 855, 300},
    {IdFolderList, 120, 900, 2655, 1830},           {IdLevelFileList, 3000, 900, 2775, 1785},
    {IdLevelCountLabel, 3120, 2760, 2655, 255},     {IdDeleteLevelButton, 120, 3120, 2775, 375},
    {IdAddLevelsButton, 3000, 3120, 2775, 375},     {IdProfileTree, 120, 3600, 5655, 2415},
    {IdAddGroupButton, 120, 6120, 975, 375},        {IdDeleteGroupButton, 1080, 6120, 1095, 375},
    {IdMoveUpButton, 2520, 6120, 255, 255},         {IdMoveDownButton, 3000, 6120, 255, 255},
    {IdAddSetButton, 3600, 6120, 1095, 375},        {IdDeleteSetButton, 4680, 6120, 1095, 375},
    {IdGroupFolderEdit, 120, 6600, 1335, 285},      {IdUpdateFolderButton, 1440, 6600, 735, 255},
    {IdNodeInfoButton, 2520, 6600, 735, 255},       {IdLevelFileEdit, 3600, 6600, 1335, 285},
    {IdUpdateFileButton, 4920, 6600, 735, 255},     {IdSaveProfileButton, 2040, 6960, 1695, 315},
    {IdSaveLevelInfoButton, 2160, 8040, 1335, 315}, {IdProgressBar, 0, 8400, 5895, 255},
};

// The row of counts: box i stands at left + i * step, its name above it and nameIndent further
// left.
struct CountRow {
    int left, step;
    int nameTop, nameWidth, nameHeight, nameIndent;
    int boxTop, boxWidth, boxHeight;
};
inline constexpr CountRow kCountRow{120, 630, 7440, 615, 240, 30, 7680, 555, 285};

// The client area, above the status bar.
inline constexpr int kInnerWidth = 5880, kInnerHeight = 8745;

} // namespace quillfen::win32
