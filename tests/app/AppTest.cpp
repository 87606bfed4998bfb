#include "AppTest.h"

#include "TestMedium.h"
#include "TestSupport.h"

#include <windows.h>

std::string SettingsText(const std::string& version, const std::vector<StoredItem>& items)
{
    std::string text = "[SYSTEM]\r\nVER=" + version + "\r\nAUTORUNINFSIZE=0\r\nAUTORUNINF=\r\nLAUNCHER=" +
                       std::to_string(items.size()) + "\r\n";
    for (std::size_t i = 0; i < items.size(); ++i) {
        const StoredItem& item = items[i];
        text += "[RUNITEM" + std::to_string(i) + "]\r\nPROGRAMNAME=" + item.name + "\r\nPROGRAMPATH=" + item.path +
                "\r\nWORKPATH=" + item.work + "\r\nARG=" + item.arg + "\r\nRUNKIND=" + std::to_string(item.kind) +
                "\r\nDELAYTIME=" + std::to_string(item.delay) + "\r\nBOREWAY=" + std::to_string(item.gate) + "\r\n";
    }
    return text;
}

StoredItem SkypeItem(const std::string& folder)
{
    return {"Skype.exe", folder + "\\skype\\bin\\Skype.exe", folder + "\\skype\\bin",
            "/datapath:\"%letter%" + folder + "\\skype\\data\" /removable", 1, 0, 0};
}

ScopedEnv::ScopedEnv(const char* name, const std::string& value) : m_name(name)
{
    ::SetEnvironmentVariableA(name, value.c_str());
}

ScopedEnv::~ScopedEnv()
{
    ::SetEnvironmentVariableA(m_name.c_str(), nullptr);
}

StoredItem RecorderItem(const TestMedium& medium, const std::string& tag, int kind, int gate)
{
    medium.Put(FixturePath("vk_recorder.exe"), "\\apps\\vk_recorder.exe");
    StoredItem item;
    item.name = "vk_recorder.exe";
    item.path = "\\apps\\vk_recorder.exe";
    item.arg = tag;
    item.kind = kind;
    item.gate = gate;
    return item;
}

bool OpenGate(void* window, int kind)
{
    ChildProcess gate;
    return gate.Start("\"" + FixturePath("vk_gate.exe") + "\" " +
                      std::to_string(static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window))) + " " +
                      std::to_string(kind)) &&
           gate.WaitExit() && gate.ExitCode() == 0;
}
