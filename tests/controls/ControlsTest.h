#pragma once
// Ids of the controls tests' own dialog template.
#define IDD_CT_TEST 300
#define IDC_CT_THEMED 301
#define IDC_CT_HAND 302
#define IDC_CT_CHECK 303
#define IDC_CT_LABEL 304
#define IDC_CT_LIST 305
