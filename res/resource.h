// Resource ids shared by setup.rc, the interface-language libraries and the wizard code.
// Kept to plain #defines so that both windres and the C++ compiler read it.
#pragma once

// The wizard dialog and its controls (IDOK and IDCANCEL are the Finish and Cancel buttons).
#define IDD_LANGSETUP_DIALOG 102
#define IDC_ACTION 1000
#define IDC_NOTE 1001
#define IDC_PROMPT 1002
#define IDC_PROGRESS 1003
#define IDC_CLOSE 1004
#define IDC_TITLE 1005
#define IDC_MINIMIZE 1006
#define IDC_LAUNCH_CHECK 1008
#define IDC_LAUNCH_TEXT 1010

#define IDI_MAINFRAME 128

// Skin bitmaps; 138 and 141 are not used. The pictures that the wizard shows are also made for
// 125, 150, 175 and 200 % (PNG resources at these ids plus 1000, 2000, 3000 and 4000:
// res/skin/scaled.rc, written by res/make_skin.py).
#define IDB_BACKGROUND 130
#define IDB_BUTTON_NORMAL 131
#define IDB_BUTTON_PRESSED 132
#define IDB_BUTTON_HOVER 133
#define IDB_BUTTON_DISABLED 137
#define IDB_CLOSE_NORMAL 134
#define IDB_CLOSE_HOVER 135
#define IDB_CLOSE_DISABLED 136
#define IDB_OPTION_EMPTY 139
#define IDB_OPTION_SELECTED 140
#define IDB_CHECK_EMPTY 142
#define IDB_CHECK_TICKED 143
#define IDB_MINIMIZE_NORMAL 144
#define IDB_MINIMIZE_HOVER 145
#define IDB_MINIMIZE_DISABLED 146

// Wizard texts. The language libraries carry the same ids; notes are a single space
// unless a language has something to say there.
#define IDS_INSTALL 1
#define IDS_CANCEL 2
#define IDS_FINISH 3
#define IDS_INSTALL_PROMPT 4
#define IDS_INSTALL_READY_NOTE 5
#define IDS_INSTALL_RUNNING_PROMPT 6
#define IDS_INSTALL_DONE_NOTE 7
#define IDS_FINISH_PROMPT 8
#define IDS_INSTALL_INCOMPLETE_NOTE 9
#define IDS_REMOVE 10
#define IDS_REMOVE_READY_NOTE 11
#define IDS_REMOVE_PROMPT 12
#define IDS_REMOVE_RUNNING_PROMPT 13
#define IDS_REMOVE_INCOMPLETE_NOTE 14
#define IDS_REMOVE_DONE_NOTE 15
#define IDS_INSTALL_RUNNING_NOTE 16
#define IDS_REMOVE_RUNNING_NOTE 17
#define IDS_WIZARD_TITLE 18  // the window's title; %s stands for the application's name
#define IDS_UNUSED_19 19
#define IDS_LAUNCH_APP 20
// The window's own buttons' words: their tooltips and their names for assistive tools.
#define IDS_MINIMIZE 21
#define IDS_CLOSE 22
