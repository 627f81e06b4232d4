#pragma once

// The ids of the window's resources and menu commands (shared by quillfen.rc and the code).
#define IDD_INPUT 200
#define IDC_INPUT_PROMPT 201
#define IDC_INPUT_TEXT 202
#define IDD_MESSAGES 210
#define IDC_MESSAGE_LIST 211
#define IDI_QUILLFEN 300

// A menu item's command id: this plus its window::Command.
#define ID_MENU_COMMAND 1000
