#include "ProcessModuleMemo.h"

void ProcessModuleMemo::Begin()
{
    m_known.clear();
    m_bActive = true;
}

void ProcessModuleMemo::End()
{
    m_known.clear();
    m_bActive = false;
}

ProcessModule ProcessModuleMemo::Get(DWORD processId)
{
    if (!m_bActive)
        return ReadProcessModule(processId);
    for (const auto& known : m_known) {
        if (known.first == processId)
            return known.second;
    }
    m_known.emplace_back(processId, ReadProcessModule(processId));
    return m_known.back().second;
}
