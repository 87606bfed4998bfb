#include "CLauncherDlg.h"

#include "CWriteIniFile.h"
#include "DebugLog.h"
#include "HexText.h"
#include "SplitPath.h"

#include <windows.h>

namespace {

// Far beyond any Autorun.inf; a larger stored size is not believed.
const int kMaxAutorunHexSize = 1024 * 1024;

CString Decimal(int value)
{
    CString text;
    text.Format("%d", value);
    return text;
}

CString ReadString(const char* section, const char* key, const CString& path)
{
    char buffer[260] = {};
    ::GetPrivateProfileStringA(section, key, "", buffer, sizeof buffer, path);
    return CString(buffer);
}

int ReadInt(const char* section, const char* key, const CString& path)
{
    return static_cast<int>(::GetPrivateProfileIntA(section, key, 0, path));
}

}  // namespace

CLauncherDlg::CLauncherDlg(CWnd* parent) : CDialog(IDD, parent), m_pstrVersion(nullptr)
{
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
    for (int i = 0; i < count; ++i) {
        CString section;
        section.Format("RUNITEM%d", i);
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

void CLauncherDlg::WriteIniFile()
{
    CWriteIniFile ini;
    if (!ini.openFile(m_strIniPath))
        return;

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
    ini.closeFile();
}

void CLauncherDlg::SaveSettings()
{
    WriteIniFile();
}
