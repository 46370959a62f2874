/* The one home of Vellora's dialog-template and control ids. The .rc files
   and the presenters include this file, so a resource and the code that
   drives it cannot disagree. Plain #defines only: the resource compiler
   reads it too. */
#ifndef VELLORA_UI_IDS_H
#define VELLORA_UI_IDS_H

/* Program resources. */
#define IDR_MAINFRAME 128
#define IDD_ABOUTBOX 100
#define IDM_ABOUTBOX 0x0010
#define IDC_ABOUT_ICON 1090
#define IDC_ABOUT_VERSION 1091
#define IDB_CAPTION 140
#define IDB_CLOSE 141
#define IDB_MINIMISE 142
#define IDC_HAND_CURSOR 143

/* Start window. */
#define IDD_START 129
#define IDC_START_ENCRYPT 1000
#define IDC_START_DECRYPT 1001
#define IDC_START_SHARING 1002

/* Main window: tabs, side column, deletion area, banner. */
#define IDD_MAIN 130
#define IDC_TAB_ENCRYPT 1007
#define IDC_TAB_DECRYPT 1008
#define IDC_TAB_SHARING 1009
#define IDC_SIDE_HOME 1050
#define IDC_SIDE_CREATE_KEY 1051
#define IDC_SIDE_SETTINGS 1052
#define IDC_SIDE_HELP 1053
#define IDC_DELETION_AREA 1087
#define IDC_BANNER 999

/* Main window, encrypt page. */
#define IDC_ENC_TITLE 1028
#define IDC_ENC_MESSAGE_LABEL 1030
#define IDC_ENC_MESSAGE 1020
#define IDC_ENC_FILES_LABEL 1031
#define IDC_ENC_FILES 1021
#define IDC_ENC_HINT 1075
#define IDC_ENC_ADD_FILES 1025
#define IDC_ENC_OUTPUT_LABEL 1032
#define IDC_ENC_OUTPUT 1068
#define IDC_ENC_CHOOSE_OUTPUT 1026
#define IDC_ENC_STATUS 1033
#define IDC_ENC_CAPACITY 1034
#define IDC_ENC_PROGRESS 1024
#define IDC_ENC_RUN 1027

/* Main window, decrypt page. */
#define IDC_DEC_TITLE 1043
#define IDC_DEC_INPUTS_LABEL 1067
#define IDC_DEC_INPUTS 1039
#define IDC_DEC_ADD_INPUTS 1041
#define IDC_DEC_FOLDER_LABEL 1066
#define IDC_DEC_FOLDER 1065
#define IDC_DEC_CHOOSE_FOLDER 1038
#define IDC_DEC_STATUS 1042
#define IDC_DEC_PROGRESS 1035
#define IDC_DEC_RUN 1036

/* Main window, file-sharing page. */
#define IDC_SHARE_KEYS_LABEL 1056
#define IDC_SHARE_KEYS 1044
#define IDC_SHARE_ADD 1045
#define IDC_SHARE_REMOVE 1058
#define IDC_SHARE_RECIPIENTS_LABEL 1055
#define IDC_SHARE_RECIPIENTS 1057
#define IDC_SHARE_NEXT 1048
#define IDC_SHARE_EXPORT 1089

/* Settings dialog. */
#define IDD_SETTINGS 132
#define IDC_SETTINGS_MODE 1019
#define IDC_SETTINGS_ALGORITHM 1063
#define IDC_SETTINGS_DELETE_INPUTS 1062
#define IDC_SETTINGS_WRITE_LOG 1064
#define IDC_SETTINGS_OK 1071
#define IDC_SETTINGS_CANCEL 1037

/* Password dialogs. */
#define IDD_PASSWORD_ENTRY 133
#define IDD_PASSWORD_NEW 134
#define IDC_PASSWORD_ENTRY_EDIT 1076
#define IDC_PASSWORD_NEW_EDIT 1037
#define IDC_PASSWORD_CONFIRM_EDIT 1064
#define IDC_PASSWORD_OK 1074
#define IDC_PASSWORD_CANCEL 1038

/* Create-shared-key dialog. */
#define IDD_CREATE_KEY 138
#define IDC_KEY_NAME 1037
#define IDC_KEY_CHECK_NAME 1077
#define IDC_KEY_PASSWORD 1064
#define IDC_KEY_CONFIRM 1078
#define IDC_KEY_OK 1038
#define IDC_KEY_CANCEL 1079

/* Progress window (built in code, no template). */
#define IDC_PROGRESS_CANCEL 10
#define IDC_PROGRESS_TEXT 11
#define IDC_PROGRESS_BAR 12

#endif
