#pragma once
// Ids of the framework tests' own dialog template.
#define IDD_FW_TEST 200
#define IDC_FW_EDIT 201
#define IDC_FW_CHECK 202
#define IDC_FW_RADIO1 203
#define IDC_FW_RADIO2 204
#define IDC_FW_RADIO3 205
#define IDC_FW_LABEL 206
#define IDC_FW_COMBO 207
#define IDC_FW_BUTTON 208
