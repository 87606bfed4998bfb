#include "CRunSettingDlg.h"

#include "AfxMessageBox.h"
#include "BrowseForFolder.h"
#include "CDataExchange.h"
#include "CFileDialog.h"
#include "RunSettingIds.h"
#include "SplitPath.h"

namespace {

// Paths are kept without the drive, so only a choice on the medium will do.
bool OnDrive(const CString& path, const CString& drive)
{
    return path.GetLength() >= 2 && path.Left(2) == drive;
}

// A path that the ANSI interfaces cut or change would be stored wrong and
// fail at every start.
const char kUnfitPath[] = "パスが長すぎるか、使用できない文字を含むため選択できません.";

void RefuseOtherDrive(const CString& drive)
{
    CString text;
    text.Format("%sドライブ以外から選択はできません", drive.GetString());
    AfxMessageBox(text);
}

}  // namespace

CRunSettingDlg::CRunSettingDlg(CWnd* parent)
    : CDialog(IDD, parent), m_bAutoStart(0), m_nTiming(-1), m_bAutoStartPrev(0)
{
}

CRunSettingDlg::~CRunSettingDlg() = default;

const MessageMap* CRunSettingDlg::GetMessageMap() const
{
    using H = Handler<CRunSettingDlg>;
    static const MessageMap map{CDialog::GetMessageMap(), {
        H::Clicked(IDC_BUTTON_BROWSE_EXE, &CRunSettingDlg::OnBnClickedBrowseExe),
        H::Clicked(IDC_BUTTON_BROWSE_FOLDER, &CRunSettingDlg::OnBnClickedBrowseFolder),
        H::Clicked(IDC_RADIO_TIMING_START, &CRunSettingDlg::OnBnClickedTiming),
        H::Clicked(IDC_RADIO_TIMING_GATE, &CRunSettingDlg::OnBnClickedTiming),
        H::Clicked(IDC_CHECK_AUTOSTART, &CRunSettingDlg::OnBnClickedAutoStart),
    }};
    return &map;
}

void CRunSettingDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_COMBO_GATE, m_comboGate);
    DDX_Control(pDX, IDC_SPIN_DELAY, m_spinDelay);
    DDX_Text(pDX, IDC_EDIT_PROGRAMPATH, m_strProgramPath);
    DDX_Text(pDX, IDC_EDIT_WORKPATH, m_strWorkPath);
    DDX_Text(pDX, IDC_EDIT_ARG, m_strArg);
    DDX_Check(pDX, IDC_CHECK_AUTOSTART, m_bAutoStart);
    DDX_Text(pDX, IDC_EDIT_PROGRAMNAME, m_strProgramName);
    DDX_Radio(pDX, IDC_RADIO_TIMING_START, m_nTiming);
    DDX_CBString(pDX, IDC_COMBO_GATE, m_strGateName);
    // The delay passes through the up-down control alone.
}

BOOL CRunSettingDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    m_strProgramName = m_runInf.m_strProgramName;
    m_strProgramPath = m_runInf.m_strProgramPath;
    m_strWorkPath = m_runInf.m_strWorkPath;
    m_strArg = m_runInf.m_strArg;

    if (m_runInf.m_nRunKind == RUNKIND_MANUAL) {
        m_bAutoStart = 0;
        m_bAutoStartPrev = 0;
        m_nTiming = -1;
    } else {
        m_bAutoStart = 1;
        m_bAutoStartPrev = 1;
        m_nTiming = m_runInf.m_nRunKind == RUNKIND_AUTO_START ? 0 : 1;
    }

    // The built-in Skype item keeps its own program, folder and arguments.
    const BOOL free = !m_runInf.m_bSkype;
    Enable(IDC_BUTTON_BROWSE_EXE, free);
    Enable(IDC_BUTTON_BROWSE_FOLDER, free);
    Enable(IDC_EDIT_ARG, free);

    // No more than loads back whole; the limit counts characters (bytes in
    // an edit that keeps its text in bytes).
    for (int id : {IDC_EDIT_PROGRAMNAME, IDC_EDIT_ARG})
        ::SendDlgItemMessageA(m_hWnd, id, EM_SETLIMITTEXT, RUNINF_MAX_TEXT / 2, 0);

    m_spinDelay.SetRange32(0, 600);
    m_spinDelay.SetPos32(m_runInf.m_nDelayTime);

    for (const char* name : g_gateKindNames)
        m_comboGate.InsertString(-1, name);
    if (m_runInf.m_nGateKind >= 0 && m_runInf.m_nGateKind < GATEKIND_COUNT)
        m_strGateName = g_gateKindNames[m_runInf.m_nGateKind];

    UpdateData(FALSE);
    UpdateControls();
    return TRUE;
}

void CRunSettingDlg::Enable(int id, BOOL enable)
{
    if (CWnd* control = GetDlgItem(id))
        control->EnableWindow(enable);
}

void CRunSettingDlg::UpdateControls()
{
    const BOOL on = m_bAutoStart == 1;
    Enable(IDC_GROUP_TIMING, on);
    Enable(IDC_RADIO_TIMING_START, on);
    Enable(IDC_RADIO_TIMING_GATE, on && !m_runInf.m_bSkype);
    Enable(IDC_STATIC_DELAY, on);
    Enable(IDC_EDIT_DELAY, on);
    Enable(IDC_SPIN_DELAY, on);
    Enable(IDC_STATIC_DELAYUNIT, on);
    Enable(IDC_STATIC_GATE, on && m_nTiming == 1);
    Enable(IDC_COMBO_GATE, on && m_nTiming == 1);
}

void CRunSettingDlg::OnBnClickedAutoStart()
{
    UpdateData(TRUE);
    if (m_bAutoStart == m_bAutoStartPrev)
        return;
    m_bAutoStartPrev = m_bAutoStart;
    // Switched on, it starts with the program again, whatever was chosen before.
    if (m_bAutoStart == 1)
        m_nTiming = 0;
    UpdateData(FALSE);
    UpdateControls();
}

void CRunSettingDlg::OnBnClickedTiming()
{
    UpdateData(TRUE);
    UpdateControls();
}

void CRunSettingDlg::OnOK()
{
    UpdateData(TRUE);
    if (m_strProgramPath.IsEmpty()) {
        AfxMessageBox("実行ファイルが指定されていません.");
        return;
    }

    m_runInf.m_strProgramPath = m_strProgramPath;
    m_runInf.m_strWorkPath = m_strWorkPath;
    m_runInf.m_strArg = m_strArg;
    if (!m_strProgramName.IsEmpty()) {
        m_runInf.m_strProgramName = m_strProgramName;
    } else {
        CString folder, fileName;
        SplitPath(m_strProgramPath, folder, fileName);
        m_runInf.m_strProgramName = fileName;
    }

    if (m_bAutoStart == 0)
        m_runInf.m_nRunKind = RUNKIND_MANUAL;
    else
        m_runInf.m_nRunKind = m_nTiming == 0 ? RUNKIND_AUTO_START : RUNKIND_AUTO_GATE;

    // Whatever the kind: a manual item keeps what the disabled controls hold.
    m_runInf.m_nDelayTime = m_spinDelay.GetPos32();
    for (int kind = 0; kind < GATEKIND_COUNT; ++kind) {
        if (m_strGateName == g_gateKindNames[kind]) {
            m_runInf.m_nGateKind = kind;
            break;
        }
    }

    CDialog::OnOK();
}

void CRunSettingDlg::OnBnClickedBrowseExe()
{
    CFileDialog dialog(TRUE, "EXE", "*.exe", OFN_FILEMUSTEXIST, "Exec(*.exe)|*.exe|全て(*.*)|*.*||");
    CString initialFolder = m_strDrive;
    if (!m_strProgramPath.IsEmpty()) {
        CString folder, fileName;
        SplitPath(m_strProgramPath, folder, fileName);
        initialFolder += folder;
    }
    dialog.m_ofn.lpstrInitialDir = initialFolder;
    if (dialog.DoModal() != IDOK)
        return;
    if (!dialog.IsPathWhole()) {
        AfxMessageBox(kUnfitPath);
        return;
    }

    const CString path = dialog.GetPathName();
    if (!OnDrive(path, m_strDrive)) {
        RefuseOtherDrive(m_strDrive);
        return;
    }
    m_strProgramPath = path.Mid(2);
    SetDlgItemText(IDC_EDIT_PROGRAMPATH, m_strProgramPath);
}

void CRunSettingDlg::OnBnClickedBrowseFolder()
{
    CString start = m_strWorkPath;
    if (start.IsEmpty()) {
        CString fileName;
        SplitPath(m_strProgramPath, start, fileName);
    }
    start = m_strDrive + start;

    // The picker belongs to the main window, not to this dialog, which would
    // stay live beside it: an OK or a close here would drop the choice and
    // free the main window while the picker runs.
    EnableWindow(FALSE);
    bool unfit = false;
    const char* chosen = BrowseForFolder(start, &unfit);
    // The picker's end enables its owner again, the window that this modal
    // dialog keeps disabled: it is disabled once more before this dialog
    // takes input again.
    const HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    if (owner != nullptr)
        ::EnableWindow(owner, FALSE);
    EnableWindow(TRUE);
    ::SetActiveWindow(m_hWnd);
    if (chosen == nullptr) {
        if (unfit)
            AfxMessageBox(kUnfitPath);
        return;
    }
    const CString path(chosen);  // the picker's buffer is shared: copied at once
    if (!OnDrive(path, m_strDrive)) {
        RefuseOtherDrive(m_strDrive);
        return;
    }
    m_strWorkPath = path.Mid(2);
    SetDlgItemText(IDC_EDIT_WORKPATH, m_strWorkPath);
}
