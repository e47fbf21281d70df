// Resource and control ids of the tool.
#pragma once

#define IDD_MAIN 101
#define IDR_POPUPS 103
#define IDI_TOOL 104
// The main window's menu bar and its keyboard shortcuts.
#define IDR_MAINMENU 105
#define IDR_ACCELERATORS 106

#define IDC_GPIOLIST 1028
#define IDC_SAVE 1032
#define IDC_RESETCLEAR 1033
#define IDC_CURRENT 1039
#define IDC_BOOTUP 1040
#define IDC_HELPTEXT 1041
#define IDC_UPDATERATE 1042
#define IDC_EVAL21 1045
#define IDC_EVAL31 1046
#define IDC_BELVAN 1049
// Made at run time: the find box at the top right and its count ("12 of 245").
#define IDC_FIND 1050
#define IDC_FINDCOUNT 1051

// Popup 0 "AltFn" (PXA270): an input half and an output half.
#define IDM_ALTFN_INPUT 40002
#define IDM_ALTFN_IN_GPIO 40003
#define IDM_ALTFN_IN_FN1 40004
#define IDM_ALTFN_IN_FN2 40005
#define IDM_ALTFN_IN_FN3 40006
#define IDM_ALTFN_OUTPUT 40007
#define IDM_ALTFN_OUT_GPIO 40008
#define IDM_ALTFN_OUT_FN1 40009
#define IDM_ALTFN_OUT_FN2 40010
#define IDM_ALTFN_OUT_FN3 40011
// Popup 2 "Dir", 3 "Level", 4 "EdgeDet", 5 "EdgeStat".
#define IDM_DIR_INPUT 40012
#define IDM_DIR_OUTPUT 40013
#define IDM_LEVEL_0 40014
#define IDM_LEVEL_1 40015
#define IDM_EDGE_NONE 40016
#define IDM_EDGE_RISING 40017
#define IDM_EDGE_FALLING 40018
#define IDM_EDGE_BOTH 40019
#define IDM_EDGESTAT_RESET 40020
// Popups 1 "AltFnPXA320" (Fn0..Fn7) and 8 "AltFnTegra2" (Fn0..Fn4) share these ids.
#define IDM_FN0 40021
#define IDM_FN1 40022
#define IDM_FN2 40023
#define IDM_FN3 40024
#define IDM_FN4 40025
#define IDM_FN5 40026
#define IDM_FN6 40027
#define IDM_FN7 40028
// Popup 6 "Tristate".
#define IDM_TRISTATE_NO 40029
#define IDM_TRISTATE_YES 40030
// Popup 7 "Columns": one item per ColumnMenuOrder position.
#define IDM_COL_GPIO 40031
#define IDM_COL_PINNAME 40032
#define IDM_COL_ALTFNNAME 40033
#define IDM_COL_ALTFN 40034
#define IDM_COL_DIRECTION 40035
#define IDM_COL_LEVEL 40036
#define IDM_COL_PIN 40037
#define IDM_COL_EVALLOC 40038
#define IDM_COL_EVALFNNAME 40039
#define IDM_COL_EDGEDETECT 40040
#define IDM_COL_EDGESTATUS 40041
#define IDM_COL_TRISTATE 40042
#define IDM_COL_GROUP 40043
#define IDM_COL_PULLSTATE 40044
// Added to "Columns" at start-up, after "Pull up/down State".
#define IDM_COL_EDGES 40045
#define IDM_COL_ACTIVITY 40046
// Popup 9 "PullState".
#define IDM_PULL_NORMAL 40060
#define IDM_PULL_DOWN 40061
#define IDM_PULL_UP 40062
// Added to "Columns" at start-up, after a separator: the table as text on the clipboard.
#define IDM_COPY_TABLE 40070
// The menu bar's "Find": the caret into the find box.
#define IDM_FIND 40071
// The "Edges" popup, built at start-up: one GPIO's count, or every count, back to 0.
#define IDM_EDGES_RESET 40072
#define IDM_EDGES_RESET_ALL 40073
// "File" menu: the recorded activity of the shown rows as a VCD file.
#define IDM_EXPORT_ACTIVITY 40074
// The menu bar's "File" and "Compare" items (settings files and the comparison).
#define IDM_EXPORT_SETTINGS 40080
#define IDM_IMPORT_SETTINGS 40081
#define IDM_COMPARE_NOTHING 40082
#define IDM_COMPARE_BOOTUP 40083
#define IDM_COMPARE_DEFAULTS 40084
#define IDM_COMPARE_FILE 40085
#define IDM_COMPARE_DIFFERING 40086
