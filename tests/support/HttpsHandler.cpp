#include "HttpsHandler.h"

HttpsHandler::HttpsHandler(const std::string& command)
{
    if (::RegCreateKeyExA(HKEY_CLASSES_ROOT, "https\\shell\\open\\command", 0, nullptr, 0,
                          KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &m_key, nullptr) != ERROR_SUCCESS) {
        m_key = nullptr;
        return;
    }
    char previous[1024] = {};
    DWORD size = sizeof previous - 1;
    DWORD type = 0;
    m_hadValue = ::RegQueryValueExA(m_key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(previous), &size) ==
                     ERROR_SUCCESS &&
                 type == REG_SZ;
    m_previous = previous;
    m_ok = Set(command);
}

HttpsHandler::~HttpsHandler()
{
    if (m_key == nullptr)
        return;
    if (m_hadValue)
        Set(m_previous);
    else
        ::RegDeleteValueA(m_key, nullptr);
    ::RegCloseKey(m_key);
}

bool HttpsHandler::Set(const std::string& value)
{
    return ::RegSetValueExA(m_key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}
