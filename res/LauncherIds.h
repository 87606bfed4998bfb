#pragma once
// Ids of the launcher subsystem's resources.
#define IDD_LAUNCHER_DIALOG 129
#define IDC_BUTTON_LAUNCH 1003
#define IDC_LIST_RUN 1007
#define IDC_BUTTON_ADD 1016
#define IDC_BUTTON_DELETE 1017
#define IDC_BUTTON_CHANGE 1018
#define IDC_BUTTON_UP 1034
#define IDC_BUTTON_DOWN 1035
#define IDC_STATIC_AUTORUN 1042
