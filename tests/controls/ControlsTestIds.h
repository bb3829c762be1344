// Resource ids of the controls tests' own dialog, pictures and strings.
#pragma once

#define IDD_CONTROLS 100

#define IDB_NORMAL 201
#define IDB_PRESSED 202
#define IDB_HOVER 203
#define IDB_CHECKED 204
#define IDB_DISABLED 205
#define IDB_DISABLED_CHECKED 206
#define IDB_FRAMED 207
#define IDB_SHAPED 208
#define IDB_MISSING 299

#define IDS_TIP 300

#define IDC_PUSH 1001
#define IDC_DEFPUSH 1002
#define IDC_CHECK 1003
#define IDC_RADIO 1004
#define IDC_LEFT 1101
#define IDC_CENTER 1102
#define IDC_RIGHT 1103
#define IDC_NOWRAP 1104
#define IDC_CENTERIMAGE 1105
