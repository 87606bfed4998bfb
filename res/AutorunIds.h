#pragma once
// Ids of the autorun subsystem's resources.
#define IDD_EDIT_DIALOG 134
#define IDD_UPDATE_DIALOG 136
#define IDC_EDIT_AUTORUNINF 1037
#define IDC_EDIT_AUTORUN 1039
#define IDC_STATIC_UPDATE 1040
#define IDC_BUTTON_REVERT 1041
