#pragma once
// Ids of the app subsystem's resources.
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

#define IDD_ABOUTBOX 100
#define IDR_MAINFRAME 128
#define IDD_TERM_DIALOG 132
#define IDC_STATIC_VERSION 1006
#define IDC_SYSLINK_ABOUT_HOMEPAGE 1044
