/* VLRUpdate's resource ids, read by its resource script and its window code.
   The control ids are those the update run addresses (updater/run_display.h). */
#ifndef VLRUPDATE_RESOURCE_H
#define VLRUPDATE_RESOURCE_H

#define IDR_VLRUPDATE 128
#define IDD_VLRUPDATE_ABOUT 100
#define IDD_VLRUPDATE 102
#define IDM_VLRUPDATE_ABOUT 0x0010
#define IDC_UPDATE_GROUP 1005
#define IDC_UPDATE_STEP_BAR 1000
#define IDC_UPDATE_STATUS 1001
#define IDC_UPDATE_FILE_BAR 1002
#define IDC_UPDATE_FILE 1003
#define IDC_UPDATE_COUNT 1004
#define IDC_VLRUPDATE_ABOUT_ICON 1090

#endif
