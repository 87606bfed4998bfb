#pragma once
#include <windows.h>

// A critical section for the life of the object; a Lock holds it for the
// life of the lock.
class CriticalSection {
public:
    CriticalSection() { ::InitializeCriticalSection(&m_section); }
    ~CriticalSection() { ::DeleteCriticalSection(&m_section); }
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;

    class Lock {
    public:
        explicit Lock(CriticalSection& section) : m_section(section.m_section) { ::EnterCriticalSection(&m_section); }
        ~Lock() { ::LeaveCriticalSection(&m_section); }
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;

    private:
        CRITICAL_SECTION& m_section;
    };

private:
    CRITICAL_SECTION m_section;
};
