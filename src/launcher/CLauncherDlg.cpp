#include "CLauncherDlg.h"

#include "AfxMessageBox.h"
#include "AutorunInfText.h"
#include "CDataExchange.h"
#include "CGlobalData.h"
#include "CWriteIniFile.h"
#include "Closing.h"
#include "DebugLog.h"
#include "HexText.h"
#include "LauncherIds.h"
#include "Mbcs.h"
#include "SplitPath.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

UINT g_uLauncherGateOpenMsg = 0;

namespace {

const char kSettingsUnreadable[] = "Vellokari.iniが読み込めません.設定の変更は保存されません.";
const char kSettingsNotSaved[] = "Vellokari.iniが読み込めなかったため,設定を保存できません.";
const char kSettingsWriteFailed[] = "Vellokari.iniの書き込みに失敗しました. err=0x%lx";

// Ten run ticks of 100 ms.
const int kTicksPerMediumCheck = 10;

// The hex text of the longest Autorun.inf text there can be; a larger
// stored size is not believed.
const int kMaxAutorunHexSize = 2 * AUTORUNINF_MAX_TEXT;
// The indexes i below count of the "RUNITEM<i>" sections in the file, in
// index order, each once: the cost of a load follows the file's size, not
// the numbers in it.
std::vector<int> RunItemSections(const CString& path, int count)
{
    std::vector<char> names;
    for (DWORD size = 4096;; size *= 2) {
        names.assign(size, '\0');
        // A buffer too small gives size - 2.
        if (::GetPrivateProfileSectionNamesA(names.data(), size, path) < size - 2)
            break;
    }
    std::vector<int> indexes;
    for (const char* name = names.data(); *name != '\0'; name += std::strlen(name) + 1) {
        // Only the names that "RUNITEM%d" makes: no sign, no leading zero.
        // The reader finds a section whatever the case of its name.
        if (::_strnicmp(name, "RUNITEM", 7) != 0)
            continue;
        const char* digits = name + 7;
        const std::size_t length = std::strlen(digits);
        if (length == 0 || length > 10 || (digits[0] == '0' && length > 1) ||
            std::strspn(digits, "0123456789") != length)
            continue;
        // At most ten digits fit the sum whole; the runtimes' own conversions
        // differ in what a longer number gives (clamped or wrapped round).
        unsigned long long index = 0;
        for (const char* digit = digits; *digit != '\0'; ++digit)
            index = index * 10 + static_cast<unsigned>(*digit - '0');
        if (index < static_cast<unsigned long long>(count))
            indexes.push_back(static_cast<int>(index));
    }
    std::sort(indexes.begin(), indexes.end());
    indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
    return indexes;
}

CString Decimal(int value)
{
    CString text;
    text.Format("%d", value);
    return text;
}

// A stored string, whole up to RUNINF_MAX_TEXT bytes. The buffer grows
// while the value may not have fit: the reader fills it to the last byte or
// two when it cuts (and may then drop a byte before a closing quote).
CString ReadString(const char* section, const char* key, const CString& path)
{
    const DWORD largest = RUNINF_MAX_TEXT + 3;
    std::vector<char> buffer;
    for (DWORD size = 260;; size = std::min(2 * size, largest)) {
        buffer.assign(size, '\0');
        const DWORD length = ::GetPrivateProfileStringA(section, key, "", buffer.data(), size, path);
        if (length + 2 < size)
            return CString(buffer.data());
        if (size == largest)
            break;
    }
    // Longer only by an edit by hand: cut at the limit between two characters.
    std::size_t end = 0;
    while (end < RUNINF_MAX_TEXT && buffer[end] != '\0') {
        const std::size_t next = end + MbcsCharLength(&buffer[end]);
        if (next > RUNINF_MAX_TEXT)
            break;
        end = next;
    }
    buffer[end] = '\0';
    DebugLog("CLauncherDlg::ReadIniFile() [%s] %s longer than %d bytes, cut\n", section, key, RUNINF_MAX_TEXT);
    return CString(buffer.data());
}

int ReadInt(const char* section, const char* key, const CString& path)
{
    return static_cast<int>(::GetPrivateProfileIntA(section, key, 0, path));
}

}  // namespace

CLauncherDlg::CLauncherDlg(CWnd* parent)
    : CDialog(IDD, parent),
      m_brushGray(RGB(160, 160, 160)),
      m_brushStatus(RGB(255, 255, 180)),
      m_pstrVersion(nullptr),
      m_bAutorunWatch(FALSE)
{
}

CLauncherDlg::~CLauncherDlg() = default;

const MessageMap* CLauncherDlg::GetMessageMap() const
{
    using H = Handler<CLauncherDlg>;
    static const MessageMap map{CDialog::GetMessageMap(), {
        H::Clicked(IDC_BUTTON_ADD, &CLauncherDlg::OnBnClickedAdd),
        H::Clicked(IDC_BUTTON_DELETE, &CLauncherDlg::OnBnClickedDelete),
        H::Clicked(IDC_BUTTON_CHANGE, &CLauncherDlg::OnBnClickedChange),
        H::Clicked(IDC_BUTTON_LAUNCH, &CLauncherDlg::OnBnClickedLaunch),
        H::Timer(&CLauncherDlg::OnTimer),
        H::CtlColor(&CLauncherDlg::OnCtlColor),
        H::Notify(NM_DBLCLK, IDC_LIST_RUN, &CLauncherDlg::OnNMDblclkRunList),
        H::Clicked(IDC_BUTTON_UP, &CLauncherDlg::OnBnClickedUp),
        H::Clicked(IDC_BUTTON_DOWN, &CLauncherDlg::OnBnClickedDown),
        H::Message(WM_DESTROY, &CLauncherDlg::OnDestroy),
    }};
    return &map;
}

void CLauncherDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_LIST_RUN, m_listRun);
    DDX_Control(pDX, IDC_BUTTON_UP, m_btnUp);
    DDX_Control(pDX, IDC_BUTTON_DOWN, m_btnDown);
    DDX_Control(pDX, IDC_BUTTON_ADD, m_btnAdd);
    DDX_Control(pDX, IDC_BUTTON_CHANGE, m_btnChange);
    DDX_Control(pDX, IDC_BUTTON_DELETE, m_btnDelete);
    DDX_Control(pDX, IDC_BUTTON_LAUNCH, m_btnLaunch);
}

LRESULT CLauncherDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE) {
        g_uLauncherGateOpenMsg = ::RegisterWindowMessageA("BOREWAYOPEN");
        DebugLog("●●RegisterWindowMessage() msg=0x%x\n", g_uLauncherGateOpenMsg);
    } else if (g_uLauncherGateOpenMsg != 0 && message == g_uLauncherGateOpenMsg) {
        static const char* const lines[GATEKIND_COUNT] = {
            "RECV BOREWAYFORTCP GATE OPEN!\n", "RECV BOREWAYFORFTP GATE OPEN!\n", "RECV BOREWAYFORCVS GATE OPEN!\n",
            "RECV BOREWAYFORVNC GATE OPEN!\n", "RECV BOREWAYONE GATE OPEN!\n",
        };
        if (wParam < GATEKIND_COUNT)
            DebugLog("%s", lines[wParam]);
        // Every item hears it; only gate items of that very kind start counting.
        for (CRunInf& item : m_runItems)
            item.gateOpen(static_cast<LONG_PTR>(wParam));
    }
    return CDialog::WindowProc(message, wParam, lParam);
}

BOOL CLauncherDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    DWORD style = LVS_EX_FULLROWSELECT;
    if (CGlobalData::GetWindowsMajorVersion() >= 6)
        style |= LVS_EX_GRIDLINES;
    m_listRun.SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, style);

    m_listRun.InsertColumn(0, "ProgramName", LVCFMT_LEFT, 130);
    m_listRun.InsertColumn(1, "起動", LVCFMT_LEFT, 60);
    m_listRun.InsertColumn(2, "遅延(秒)", LVCFMT_RIGHT, 60);
    m_listRun.SetImageList(&m_imageCache.m_imageList, LVSIL_SMALL);

    InitButtons();
    return TRUE;
}

void CLauncherDlg::InitButtons()
{
    CMFCButton* const buttons[] = {&m_btnUp, &m_btnDown, &m_btnAdd, &m_btnChange, &m_btnDelete, &m_btnLaunch};
    for (CMFCButton* button : buttons)
        button->SetMouseCursorHand();
    for (CMFCButton* button : buttons)
        button->EnableMenuFont(TRUE, TRUE);
}

HBRUSH CLauncherDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    const HBRUSH base = CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
    switch (nCtlColor) {
    case CTLCOLOR_BTN:
    case CTLCOLOR_DLG:
        return m_brushGray;
    case CTLCOLOR_STATIC:
        pDC->SetBkMode(TRANSPARENT);
        if (pWnd != nullptr && pWnd->GetDlgCtrlID() == IDC_STATIC_AUTORUN)
            return m_brushStatus;
        return base;
    default:
        return base;
    }
}

void CLauncherDlg::Initialize(CString iniPath)
{
    m_strIniPath = iniPath;
    if (m_bSettingsLoaded)
        ReadIniFile();
    for (CRunInf& item : m_runItems)
        item.armRun();
    UpdateRunList(0);
    SetTimer(TIMER_AUTORUN_CHECK, 100);
    SetTimer(TIMER_RUN_TICK, 100);
    if (!m_bSettingsLoaded)
        AfxMessageBox(kSettingsUnreadable);
}

void CLauncherDlg::UpdateRunList(int offset)
{
    const int mark = static_cast<int>(m_listRun.SendMessage(LVM_GETSELECTIONMARK));

    m_listRun.SetRedraw(FALSE);
    m_listRun.DeleteAllItems();
    for (std::size_t i = 0; i < m_runItems.size(); ++i) {
        const CRunInf& item = m_runItems[i];
        const CString kind = RunKindText(item.m_nRunKind);
        CString delay = "--";
        if (kind != "手動")
            delay.Format("%2.1f", item.m_nDelayTime / 10.0);
        const int image = m_imageCache.GetIndex(m_strDrive + item.m_strProgramPath);
        const int row = static_cast<int>(i);
        if (image >= 0)
            m_listRun.InsertItem(LVIF_TEXT | LVIF_IMAGE, row, item.m_strProgramName, 0, 0, image, 0);
        else
            m_listRun.InsertItem(LVIF_TEXT, row, item.m_strProgramName, 0, 0, 0, 0);
        m_listRun.SetItemText(row, 1, kind);
        m_listRun.SetItemText(row, 2, delay);
    }

    if (mark >= 0) {
        // Not held to the rows: after the last row went, nothing is selected.
        const int n = mark + offset;
        m_listRun.SendMessage(LVM_SETSELECTIONMARK, 0, n);
        m_listRun.SetItemState(n, LVIS_SELECTED, LVIS_SELECTED);
        m_listRun.SendMessage(LVM_SETHOTITEM, static_cast<WPARAM>(n));
        m_listRun.SendMessage(LVM_ENSUREVISIBLE, static_cast<WPARAM>(n), FALSE);
    }
    m_listRun.SetRedraw(TRUE);
}

void CLauncherDlg::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == TIMER_RUN_TICK) {
        // Right after every tick, but written only when the label shows other
        // text: a repaint every 100 ms would be most of the idle load.
        const char* status = m_bAutorunWatch ? "AutoRun.Inf監視中" : "AutoRun.Inf監視なし";
        char shown[64] = {};
        ::GetDlgItemTextA(m_hWnd, IDC_STATIC_AUTORUN, shown, sizeof shown);
        if (lstrcmpA(shown, status) != 0)
            GetDlgItem(IDC_STATIC_AUTORUN)->SetWindowText(status);
        // A removal whose notice went unheard ends the program all the same;
        // once a second, as a look at the volume is no tick's worth.
        if (--m_nTicksToMediumCheck <= 0) {
            m_nTicksToMediumCheck = kTicksPerMediumCheck;
            AfxMediumStillHere();
        }
        bool changed = false;
        for (CRunInf& item : m_runItems) {
            const BOOL armed = item.m_bArmed;
            item.tickRun(m_strDrive);
            if (item.m_bArmed != armed)
                changed = true;
        }
        // Only a start (or a failed one) changes what the rows show.
        if (changed)
            UpdateRunList(0);
    } else if (nIDEvent == TIMER_AUTORUN_CHECK) {
        CheckAutorunInfBetweenTimers();
    }
    Default();
}

void CLauncherDlg::CheckAutorunInfBetweenTimers()
{
    // No second check while this one waits on its dialog; the next one
    // comes 300000 ms after this one ended, whatever happened in it.
    KillTimer(TIMER_AUTORUN_CHECK);
    CheckAutorunInf();
    SetTimer(TIMER_AUTORUN_CHECK, 300000);
}

void CLauncherDlg::OnDestroy()
{
    CDialog::OnDestroy();
    KillTimer(TIMER_AUTORUN_CHECK);
    KillTimer(TIMER_RUN_TICK);
}

void CLauncherDlg::AddRunItem(CRunInf item)
{
    m_runItems.push_back(item);
    m_runItems.back().armRun();
    UpdateRunList(0);
    SaveSettings();
}

void CLauncherDlg::InsertSkypeRunItem(CRunInf item)
{
    if (!m_runItems.empty() && m_runItems.front().m_bSkype)
        return;
    m_runItems.insert(m_runItems.begin(), item);
    // Automatic items count their whole delay again, started ones too.
    for (CRunInf& runItem : m_runItems)
        runItem.armRun();
    UpdateRunList(0);
    // Offered by the program itself, at the start and after a Skype update
    // whose own save has told of a failure already: the item comes again at
    // the next start, so a failure here is not the user's to hear of.
    WriteIniFile();
}

void CLauncherDlg::ReadIniFile()
{
    const int size = ReadInt("SYSTEM", "AUTORUNINFSIZE", m_strIniPath);
    if (size > kMaxAutorunHexSize) {
        DebugLog("CLauncherDlg::ReadIniFile() AUTORUNINFSIZE=%d too large, no approved text\n", size);
        m_strAutorunInf.Empty();
    } else if (size > 0) {
        // Room for the decoded bytes and their NUL, however the text was cut.
        std::vector<char> hex(static_cast<std::size_t>(size) + 10, '\0');
        std::vector<unsigned char> bytes(static_cast<std::size_t>(size) + 10, 0);
        ::GetPrivateProfileStringA("SYSTEM", "AUTORUNINF", "", hex.data(), static_cast<DWORD>(size) + 9,
                                   m_strIniPath);
        const int count = HexToBytes(hex.data(), bytes.data());
        bytes[static_cast<std::size_t>(count)] = 0;
        m_strAutorunInf = reinterpret_cast<const char*>(bytes.data());
    }

    m_runItems.clear();
    const int count = ReadInt("SYSTEM", "LAUNCHER", m_strIniPath);
    if (count <= 0)
        return;
    // A missing section gives no item; every item that a save wrote has its section.
    const std::vector<int> indexes = RunItemSections(m_strIniPath, count);
    if (indexes.size() != static_cast<std::size_t>(count))
        DebugLog("CLauncherDlg::ReadIniFile() LAUNCHER=%d, %d items from the sections there\n", count,
                 static_cast<int>(indexes.size()));
    for (int index : indexes) {
        CString section;
        section.Format("RUNITEM%d", index);
        CRunInf item;
        item.m_strProgramName = ReadString(section, "PROGRAMNAME", m_strIniPath);
        item.m_strProgramPath = ReadString(section, "PROGRAMPATH", m_strIniPath);
        item.m_strWorkPath = ReadString(section, "WORKPATH", m_strIniPath);
        item.m_strArg = ReadString(section, "ARG", m_strIniPath);
        item.m_nRunKind = ReadInt(section, "RUNKIND", m_strIniPath);
        item.m_nDelayTime = ReadInt(section, "DELAYTIME", m_strIniPath);
        item.m_nGateKind = ReadInt(section, "BOREWAY", m_strIniPath);
        CString folder, fileName;
        SplitPath(item.m_strProgramPath, folder, fileName);
        item.m_bSkype = fileName == "Skype.exe";
        m_runItems.push_back(item);
    }
}

BOOL CLauncherDlg::WriteIniFile(DWORD* error)
{
    if (error != nullptr)
        *error = 0;
    if (!m_bSettingsLoaded) {
        DebugLog("CLauncherDlg::WriteIniFile() nothing loaded, nothing saved\n");
        return FALSE;
    }
    CWriteIniFile ini;
    if (!ini.openFile(m_strIniPath)) {
        if (error != nullptr)
            *error = ini.GetError();
        return FALSE;
    }

    ini.writeString("SYSTEM", "VER", m_pstrVersion != nullptr ? m_pstrVersion->GetString() : "");
    const int length = m_strAutorunInf.GetLength();
    std::vector<char> hex(2 * static_cast<std::size_t>(length) + 1);
    BytesToHexText(length, reinterpret_cast<const unsigned char*>(m_strAutorunInf.GetString()), hex.data());
    ini.writeString("SYSTEM", "AUTORUNINFSIZE", Decimal(2 * length));
    ini.writeString("SYSTEM", "AUTORUNINF", hex.data());
    ini.writeString("SYSTEM", "LAUNCHER", Decimal(static_cast<int>(m_runItems.size())));

    for (std::size_t i = 0; i < m_runItems.size(); ++i) {
        const CRunInf& item = m_runItems[i];
        const CString section = "RUNITEM" + Decimal(static_cast<int>(i));
        ini.writeString(section, "PROGRAMNAME", item.m_strProgramName);
        ini.writeString(section, "PROGRAMPATH", item.m_strProgramPath);
        ini.writeString(section, "WORKPATH", item.m_strWorkPath);
        ini.writeString(section, "ARG", item.m_strArg);
        ini.writeString(section, "RUNKIND", Decimal(item.m_nRunKind));
        ini.writeString(section, "DELAYTIME", Decimal(item.m_nDelayTime));
        ini.writeString(section, "BOREWAY", Decimal(item.m_nGateKind));
    }
    if (ini.closeFile())
        return TRUE;
    if (error != nullptr)
        *error = ini.GetError();
    return FALSE;
}

void CLauncherDlg::SaveSettings()
{
    // One box for the one change that was not stored; the file stays as it was.
    DWORD error = 0;
    if (WriteIniFile(&error))
        return;
    if (!m_bSettingsLoaded) {
        AfxMessageBox(kSettingsNotSaved);
        return;
    }
    CString text;
    text.Format(kSettingsWriteFailed, error);
    AfxMessageBox(text);
}
