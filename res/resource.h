// Resource and control identifiers. The numbers are fixed by the templates;
// each dialog has its own range of control ids.
#pragma once

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Images
#define IDI_APP                     101
#define IDB_BANNER                  102
#define IDB_USAGE                   103
#define IDB_FOOTER                  104

// The main window's pictures drawn again for larger display scales: 125,
// 150, 175 and 200 %
#define IDB_BANNER_125              110
#define IDB_BANNER_150              111
#define IDB_BANNER_175              112
#define IDB_BANNER_200              113
#define IDB_USAGE_125               114
#define IDB_USAGE_150               115
#define IDB_USAGE_175               116
#define IDB_USAGE_200               117
#define IDB_FOOTER_125              118
#define IDB_FOOTER_150              119
#define IDB_FOOTER_175              120
#define IDB_FOOTER_200              121

// Dialog templates
#define IDD_MAIN                    105
#define IDD_DECOMPILER_PATH         106
#define IDD_LOG                     107
#define IDD_PROGRESS                108
#define IDD_OPTIONS                 109

// Main window
#define IDC_HELP_FILE               1000
#define IDC_BROWSE_HELP_FILE        1001
#define IDC_DEST_DIR                1002
#define IDC_BROWSE_DEST_DIR         1003
#define IDC_SWITCHES                1004
#define IDC_CHANGE_OPTIONS          1005
#define IDC_USAGE                   1006
#define IDC_START                   1007
#define IDC_DECOMPILER_PATH         1008
#define IDC_RESET_DECOMPILER        1009

// Decompiler path dialog
#define IDC_PATH_FIELD              1010
#define IDC_BROWSE_DECOMPILER       1011

// Log window (its "Close" button is IDOK) and progress box
#define IDC_LOG_TEXT                1012
#define IDC_COPY_TO_CLIPBOARD       1013
#define IDC_PROGRESS_BAR            1014

// Options dialog: the fixed overwrite box, then one box per optional switch
#define IDC_OPTION_OVERWRITE        1015
#define IDC_OPTION_BROWSE_SEQUENCE  1016
#define IDC_OPTION_CNT              1017
#define IDC_OPTION_MACROS           1018
#define IDC_OPTION_GUESSING         1019
#define IDC_OPTION_DIRECTORY        1020
#define IDC_OPTION_HEX_DUMP         1021

// Main window: its pictures
#define IDC_FOOTER                  1022
#define IDC_BANNER                  1023

// Timers: one for the log window, one for the progress box
#define IDT_LOG_WINDOW              1
#define IDT_PROGRESS_BOX            2
