#include "CrashReport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <vector>

namespace {

// Copied in, so that the crash line reads nothing that the crash may have
// overwritten on the stack or the heap.
char g_expecting[1024];
std::string g_note;  // the same, as the test gave it

// The tests' texts are in the code page; the line is read on the host, in UTF-8.
void SetExpecting(const std::string& what)
{
    g_note = what;
    g_expecting[0] = '\0';
    if (what.empty())
        return;
    std::vector<wchar_t> wide(what.size() + 1, L'\0');
    const int chars = ::MultiByteToWideChar(CP_ACP, 0, what.data(), static_cast<int>(what.size()), wide.data(),
                                            static_cast<int>(wide.size()));
    const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), chars, g_expecting, sizeof g_expecting - 1,
                                            nullptr, nullptr);
    g_expecting[bytes > 0 ? bytes : 0] = '\0';
}

LONG WINAPI ReportCrash(EXCEPTION_POINTERS* pointers)
{
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const EXCEPTION_RECORD* record = pointers->ExceptionRecord;
    char line[2048];
    const int length = std::snprintf(line, sizeof line, "[  CRASHED ] %s.%s: exception 0x%08lx at %p; expected: %s\n",
                                     test != nullptr ? test->test_suite_name() : "(no case)",
                                     test != nullptr ? test->name() : "", record->ExceptionCode,
                                     record->ExceptionAddress, g_expecting[0] != '\0' ? g_expecting : "(not named)");
    DWORD written = 0;
    if (length > 0)
        ::WriteFile(::GetStdHandle(STD_ERROR_HANDLE), line, static_cast<DWORD>(length), &written, nullptr);
    // Nothing of the crashed process runs any more: no exit handlers.
    ::TerminateProcess(::GetCurrentProcess(), record->ExceptionCode);
    return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace

void InstallCrashReport()
{
    ::SetUnhandledExceptionFilter(&ReportCrash);
}

Expecting::Expecting(const std::string& what) : m_previous(g_note)
{
    SetExpecting(what);
}

Expecting::~Expecting()
{
    SetExpecting(m_previous);
}
