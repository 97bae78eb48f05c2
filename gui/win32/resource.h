// Identifiers of the updater dialog's resources and controls, shared by the
// resource script and the code.
#pragma once

#define IDD_ABOUT 100
#define IDS_ABOUT_MENU 101
#define IDD_MAIN 102
#define IDI_MAIN 128

#define IDC_FILE_LABEL 1001
#define IDC_FILE_PATH 1003
#define IDC_CHECKSUM_LABEL 1005
#define IDC_CHECKSUM 1006
#define IDC_STATUS 1007
#define IDC_UPDATE 1014
#define IDC_PROGRESS 1018
#define IDC_BROWSE 1019

// Controls without an identifier of their own.
#define IDC_STATIC (-1)

// The About item of the system menu.
#define IDM_ABOUT 0x0010
