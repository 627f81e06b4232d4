#pragma once

// The ids of the window's resources, menus and commands (shared by quillfen.rc and the code).
#define IDR_ACCELERATORS 100
#define IDR_TREE_ACCELERATORS 101
#define IDD_INPUT 200
#define IDC_INPUT_PROMPT 201
#define IDC_INPUT_TEXT 202
#define IDI_QUILLFEN 300

#define ID_SAVE 1001
#define ID_UNDO 1002
#define ID_REDO 1003
#define ID_REFRESH 1004
#define ID_DELETE 1005
#define ID_UP 1006
#define ID_DOWN 1007
#define ID_RENAME 1008
#define ID_STARTUP_FOLDER 1009
#define ID_REG_KEY 1010
#define ID_HELP 1011
#define ID_IMPORT_PACK 1012
#define ID_GRAPHICS_FOLDER 1013
#define ID_PREVIEW 1014
