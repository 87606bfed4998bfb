#include "ShellFileOperation.h"

#include "Closing.h"

#include <shellapi.h>

#include <utility>

BOOL ShellFileOperation(HWND owner, UINT operation, CString& from, CString& to)
{
    if (!AfxMediumStillHere())
        return FALSE;
    from += '\0';
    to += '\0';

    SHFILEOPSTRUCTA op{};
    op.hwnd = owner;
    op.wFunc = operation;
    op.pFrom = from.GetString();
    op.pTo = to.GetString();
    // One target file per source, a progress without file names, and a
    // missing destination folder made without a question.
    op.fFlags = FOF_MULTIDESTFILES | FOF_SIMPLEPROGRESS | FOF_NOCONFIRMMKDIR;
    // Only the shell's own "nothing aborted" counts as success.
    op.fAnyOperationsAborted = TRUE;
    if (const ShellOperationSeam* seam = ShellOperationSeam::Current())
        op.fAnyOperationsAborted = seam->Run(operation, from.GetString(), to.GetString());
    else
        ::SHFileOperationA(&op);
    // The shell held the thread, long enough for the removal's notice to go
    // unheard: the medium is looked at before anything else touches the
    // letter, and what came of a copy while it went is not taken.
    const bool mediumHere = AfxMediumStillHere();
    return !op.fAnyOperationsAborted && mediumHere ? TRUE : FALSE;
}

namespace {

ShellOperationSeam* g_pShellSeam = nullptr;

}  // namespace

ShellOperationSeam::ShellOperationSeam(Operation operation)
    : m_operation(std::move(operation)), m_previous(g_pShellSeam)
{
    g_pShellSeam = this;
}

ShellOperationSeam::~ShellOperationSeam()
{
    g_pShellSeam = m_previous;
}

ShellOperationSeam* ShellOperationSeam::Current()
{
    return g_pShellSeam;
}
