#include "CHandle.h"

namespace {

HANDLE Normal(HANDLE handle)
{
    return handle == INVALID_HANDLE_VALUE ? nullptr : handle;
}

}  // namespace

CHandle::CHandle(HANDLE handle) : m_handle(Normal(handle)) {}

CHandle::~CHandle()
{
    Reset();
}

CHandle::CHandle(CHandle&& other) noexcept : m_handle(other.Detach()) {}

CHandle& CHandle::operator=(CHandle&& other) noexcept
{
    if (this != &other)
        Reset(other.Detach());
    return *this;
}

void CHandle::Reset(HANDLE handle)
{
    if (m_handle != nullptr)
        ::CloseHandle(m_handle);
    m_handle = Normal(handle);
}

HANDLE CHandle::Detach()
{
    const HANDLE handle = m_handle;
    m_handle = nullptr;
    return handle;
}
