#pragma once
// Owns one kernel handle (a file, a process, a thread, an event) and closes
// it when it goes. Both of the system's "no handle" values count as none.
#include <windows.h>

class CHandle {
public:
    CHandle() = default;
    explicit CHandle(HANDLE handle);
    ~CHandle();
    CHandle(CHandle&& other) noexcept;
    CHandle& operator=(CHandle&& other) noexcept;
    CHandle(const CHandle&) = delete;
    CHandle& operator=(const CHandle&) = delete;

    HANDLE Get() const { return m_handle; }
    bool IsValid() const { return m_handle != nullptr; }
    // Closes what is held and takes the new one.
    void Reset(HANDLE handle = nullptr);
    // Hands the handle on; the caller closes it.
    HANDLE Detach();

private:
    HANDLE m_handle = nullptr;
};
