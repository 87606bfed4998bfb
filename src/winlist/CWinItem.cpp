#include "CWinItem.h"

CWinItem::CWinItem() : m_hWnd(nullptr), m_dwProcessId(0), m_bPathUnfit(FALSE) {}

CWinItem::CWinItem(const CWinItem& other)
    : m_hWnd(other.m_hWnd),
      m_dwProcessId(other.m_dwProcessId),
      m_strTitle(other.m_strTitle),
      m_strProgramName(other.m_strProgramName),
      m_strProgramPath(other.m_strProgramPath),
      m_bPathUnfit(other.m_bPathUnfit)
{
}

CWinItem& CWinItem::operator=(const CWinItem& other)
{
    m_hWnd = other.m_hWnd;
    m_dwProcessId = other.m_dwProcessId;
    m_strTitle = other.m_strTitle;
    m_strProgramName = other.m_strProgramName;
    m_strProgramPath = other.m_strProgramPath;
    m_bPathUnfit = other.m_bPathUnfit;
    return *this;
}

CWinItem::~CWinItem() = default;
