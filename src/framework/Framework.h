#pragma once
// The framework layer: the window, dialog, string, file and application
// classes that the program is written on, thin over Win32.
#include "AfxMessageBox.h"
#include "CBrush.h"
#include "CDC.h"
#include "CDataExchange.h"
#include "CDialog.h"
#include "CFile.h"
#include "CStdioFile.h"
#include "CString.h"
#include "CWinApp.h"
#include "CWnd.h"
#include "DebugLog.h"
#include "Mbcs.h"
#include "MessageMap.h"
#include "ModalSeam.h"
