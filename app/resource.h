// The identifiers of Orvella.exe's dialogs, their controls, its icons and its bitmaps, shared by the code and
// by resources/Orvella.rc: only #define lines, so that windres reads it too.
#ifndef ORVELLA_APP_RESOURCE_H
#define ORVELLA_APP_RESOURCE_H

// clang-format off

// The values of <windows.h>, which the dialogs' logic does not include.
#ifndef IDOK
#define IDOK                    1
#endif
#ifndef IDCANCEL
#define IDCANCEL                2
#endif

#define IDD_MAIN                101
#define IDD_PROGRESS            102
#define IDD_REPORT              112

#define IDI_ORVELLA             102
#define IDI_ENGLISH             103
#define IDI_ITALIAN             104
#define IDI_UNSUPPORTED         105

#define IDB_SUCCESS             109
#define IDB_FAILURE             110
#define IDB_BANNER              111

// The main dialog.
#define IDC_SAVE_LIST           1001
#define IDC_SUMMARY             1002
#define IDC_PATCH               1007
#define IDC_MORROWIND_MASTER    1008
#define IDC_TRIBUNAL_MASTER     1009
#define IDC_MORROWIND_PLUGIN    1010
#define IDC_SAVES_LABEL         1011
#define IDC_SUMMARY_LABEL       1012
#define IDC_BLOODMOON_MASTER    1013
#define IDC_SCREENSHOT          1014
#define IDC_SCREENSHOT_LABEL    1015
#define IDC_TRIBUNAL_PLUGIN     1016
#define IDC_BLOODMOON_PLUGIN    1017
#define IDC_MASTER_LIST         1032
#define IDC_RESTORE             1033
#define IDC_GAME_VERSION        1035

// The progress dialog: each stage's label, bar and status image, the outcome and the log's button.
#define IDC_VIEW_LOG            1007
#define IDC_MASTER_BAR          1016
#define IDC_PLUGIN_BAR          1017
#define IDC_READ_BAR            1021
#define IDC_CONVERT_BAR         1022
#define IDC_MASTER_IMAGE        1023
#define IDC_PLUGIN_IMAGE        1024
#define IDC_JOURNAL_BAR         1025
#define IDC_FINAL_BAR           1026
#define IDC_READ_IMAGE          1028
#define IDC_CONVERT_IMAGE       1029
#define IDC_OUTCOME             1030
#define IDC_JOURNAL_IMAGE       1031
#define IDC_FINAL_IMAGE         1032
#define IDC_CONVERT_LABEL       1036
#define IDC_READ_LABEL          1037
#define IDC_PLUGIN_LABEL        1038
#define IDC_MASTER_LABEL        1039
#define IDC_JOURNAL_LABEL       1040
#define IDC_FINAL_LABEL         1041

// The report dialog.
#define IDC_REPORT_TEXT         1042

// clang-format on

#endif
