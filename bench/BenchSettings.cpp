#include "BenchSettings.h"

#include "CLauncherDlg.h"

#include <cstdio>

void WriteBenchSettings(const std::string& iniPath, int items, int delay, const CString* version)
{
    CLauncherDlg writer;
    writer.m_strIniPath = iniPath.c_str();
    writer.m_pstrVersion = version;
    for (int i = 0; i < items; ++i) {
        CRunInf item;
        char name[32];
        std::snprintf(name, sizeof name, "item%d", i);
        item.m_strProgramName = name;
        item.m_strProgramPath = "\\apps\\vk_windows.exe";
        // Manual, at start (counting, or held by -NOSTART), and waiting for a gate.
        item.m_nRunKind = i % 3;
        item.m_nDelayTime = delay;
        item.m_nGateKind = i % 5;
        writer.m_runItems.push_back(item);
    }
    writer.SaveSettings();
}
