#pragma once
// One file operation handed to the Windows shell, which shows its own
// progress, asks its own questions and reports its own errors.
#include "CString.h"

#include <windows.h>

#include <functional>

// `from` and `to` each name one path; the destination names the target file.
// Both are extended in place by one NUL so that each forms the shell's
// double-NUL list; they keep that character afterwards. TRUE when the shell
// cleared its abort flag: an error the shell reports without an abort counts
// as done, so the caller checks the outcome on its own.
BOOL ShellFileOperation(HWND owner, UINT operation, CString& from, CString& to);

// While a test holds one, the operations go to it in place of the shell, so
// that a shell that reports an error without an abort (a copy cut short
// called done) is at hand. Its result is the shell's abort flag.
class ShellOperationSeam {
public:
    using Operation = std::function<BOOL(UINT operation, const char* from, const char* to)>;
    explicit ShellOperationSeam(Operation operation);
    ~ShellOperationSeam();
    ShellOperationSeam(const ShellOperationSeam&) = delete;
    ShellOperationSeam& operator=(const ShellOperationSeam&) = delete;

    static ShellOperationSeam* Current();
    BOOL Run(UINT operation, const char* from, const char* to) const { return m_operation(operation, from, to); }

private:
    Operation m_operation;
    ShellOperationSeam* m_previous;
};
