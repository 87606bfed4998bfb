#include "CVellokariDlg.h"

#include "AppIds.h"
#include "CAboutDlg.h"
#include "CDataExchange.h"
#include "CRunInf.h"
#include "CSettingsReadHold.h"
#include "Closing.h"
#include "DwmWrappers.h"
#include "HomePage.h"
#include "Mbcs.h"

#include <commctrl.h>

namespace {

const char kProductName[] = "Vellokari";
const char kIniFileName[] = "Vellokari.ini";

}  // namespace

CVellokariDlg::CVellokariDlg(CWnd* pParent)
    : CDialog(IDD, pParent),
      m_hIcon(::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME))),
      m_bExtended(FALSE),
      m_brushDiffer(RGB(255, 255, 180)),
      m_brushEqual(RGB(0, 255, 0)),
      m_bGlass(FALSE),
      m_margins{0, 0, 0, 0},
      m_bLabelsAttached(FALSE)
{
}

CVellokariDlg::~CVellokariDlg() = default;

void CVellokariDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_STATIC_FIX_VER, m_strFixVerLabel);
    DDX_Text(pDX, IDC_STATIC_MEDIUM_VER, m_strMediumVerLabel);
    DDX_Control(pDX, IDC_BUTTON_SKYPE_IMPORT, m_btnSkypeImport);
    DDX_Control(pDX, IDC_BUTTON_AUTORUN_CREATE, m_btnAutorunCreate);
    DDX_Control(pDX, IDC_BUTTON_AUTORUN_EDIT, m_btnAutorunEdit);
    DDX_Control(pDX, IDC_BUTTON_EXTENT, m_btnExtent);
}

const MessageMap* CVellokariDlg::GetMessageMap() const
{
    using H = Handler<CVellokariDlg>;
    static const MessageMap map{CDialog::GetMessageMap(), {
        H::SysCommand(&CVellokariDlg::OnSysCommand),
        H::Message(WM_PAINT, &CVellokariDlg::OnPaint),
        H::QueryDragIcon(&CVellokariDlg::OnQueryDragIcon),
        H::Clicked(IDC_BUTTON_SKYPE_IMPORT, &CVellokariDlg::OnBnClickedSkypeImport),
        H::Clicked(IDC_BUTTON_AUTORUN_CREATE, &CVellokariDlg::OnBnClickedAutorunCreate),
        H::CtlColor(&CVellokariDlg::OnCtlColor),
        H::Clicked(IDC_BUTTON_EXTENT, &CVellokariDlg::OnBnClickedExtent),
        H::Message(WM_DESTROY, &CVellokariDlg::OnDestroy),
        H::Clicked(IDC_BUTTON_AUTORUN_EDIT, &CVellokariDlg::OnBnClickedAutorunEdit),
        H::Notify(NM_CLICK, IDC_SYSLINK_HOMEPAGE, &CVellokariDlg::OnNMClickHomePage),
        H::Raw(WM_DWMCOMPOSITIONCHANGED, &CVellokariDlg::OnDwmCompositionChanged),
    }};
    return &map;
}

BOOL CVellokariDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    if (const HMENU sysMenu = ::GetSystemMenu(m_hWnd, FALSE)) {
        char about[256] = {};
        if (::LoadStringA(AfxGetResourceHandle(), IDS_ABOUTBOX, about, sizeof about) > 0) {
            ::AppendMenuA(sysMenu, MF_SEPARATOR, 0, nullptr);
            ::AppendMenuA(sysMenu, MF_STRING, IDM_ABOUTBOX, about);
        }
    }
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

    // Places, from the program's own path; a trailing byte 0x5C of a
    // double-byte character is no separator.
    char modulePath[MAX_PATH + 1] = {};
    ::GetModuleFileNameA(nullptr, modulePath, MAX_PATH);
    const char* slash = MbcsReverseFind(modulePath, '\\');
    m_strExeDir = slash != nullptr ? CString(modulePath, static_cast<int>(slash - modulePath)) : CString();
    m_strIniPath = m_strExeDir + "\\" + kIniFileName;
    m_strDrive = m_strExeDir.Left(2);
    m_medium.Take(m_strDrive);
    AfxSetMediumCheck([this] { CheckMedium(); });

    // The file stays held for reading until the launcher panel has loaded
    // it too; one that cannot be read is never saved over.
    CSettingsReadHold settingsHold;
    m_launcherDlg.m_bSettingsLoaded = settingsHold.Take(m_strIniPath);
    ReadMediumVersion();
    UpdateTitle();
    ReadFixedSkypeInfo();
    UpdateVersionLabels();
    CreateSkypeFolders();

    m_launcherDlg.m_strDrive = m_strDrive;
    m_launcherDlg.Create(CLauncherDlg::IDD, this);
    m_launcherDlg.Initialize(m_strIniPath);
    settingsHold.Release();
    // Before anything can save: the settings file records the medium's version.
    m_launcherDlg.m_pstrVersion = &m_strMediumVer;
    m_launcherDlg.ShowWindow(SW_SHOW);
    RegisterSkypeRunItem();

    m_winListDlg.m_strDrive = m_strDrive;
    m_winListDlg.m_pListener = this;
    m_winListDlg.Create(CWinListDlg::IDD, this);
    m_winListDlg.ShowWindow(SW_SHOW);

    UpdateData(FALSE);
    SendMessage(DM_SETDEFID, IDOK);

    SafeDwmIsCompositionEnabled(&m_bGlass);
    m_margins = MARGINS{5, 5, 60, 22};
    CollapseLayout();
    UpdateGlass();
    InitButtons();
    return TRUE;
}

void CVellokariDlg::UpdateTitle()
{
    CString title;
    title.Format("%s [%sドライブから起動]", kProductName, m_strDrive.GetString());
    SetWindowText(title);
}

void CVellokariDlg::InitButtons()
{
    CMFCButtonEx* const buttons[] = {&m_btnSkypeImport, &m_btnAutorunCreate, &m_btnAutorunEdit, &m_btnExtent};
    for (CMFCButtonEx* button : buttons)
        button->SetMouseCursorHand();
    for (CMFCButtonEx* button : buttons)
        button->EnableMenuFont(TRUE, TRUE);
}

void CVellokariDlg::OnSysCommand(UINT nID, LPARAM lParam)
{
    if ((nID & 0xFFF0) == IDM_ABOUTBOX) {
        // Posted while a box or dialog waits, it would open inside that one.
        if (TakesNoCommands(m_hWnd))
            return;
        CAboutDlg about;
        about.DoModal();
        return;
    }
    CDialog::OnSysCommand(nID, lParam);
}

void CVellokariDlg::OnPaint()
{
    if (!IsIconic()) {
        CDialog::OnPaint();
        return;
    }
    CPaintDC dc(m_hWnd);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    RECT client{};
    GetClientRect(&client);
    const int x = (client.right - client.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    dc.DrawIcon(x, y, m_hIcon);
}

HCURSOR CVellokariDlg::OnQueryDragIcon()
{
    return static_cast<HCURSOR>(m_hIcon);
}

void CVellokariDlg::OnDestroy()
{
    AfxSetMediumCheck(nullptr);
    CDialog::OnDestroy();
    DetachGlassLabels();
    m_launcherDlg.DestroyWindow();
    m_winListDlg.DestroyWindow();
}

void CVellokariDlg::SaveSettings()
{
    m_launcherDlg.SaveSettings();
}

void CVellokariDlg::OnNMClickHomePage(NMHDR*, LRESULT* pResult)
{
    OpenHomePage(m_hWnd);
    *pResult = 0;
}

void CVellokariDlg::OnWinItemRegister(CWinItem item)
{
    CRunInf runItem;
    runItem.m_strProgramName = item.m_strProgramName;
    runItem.m_bSkype = 0;
    runItem.m_strProgramPath = item.m_strProgramPath.Mid(2);
    runItem.m_strWorkPath.Empty();
    runItem.m_strArg.Empty();
    runItem.m_nRunKind = RUNKIND_MANUAL;
    m_launcherDlg.AddRunItem(runItem);
}
