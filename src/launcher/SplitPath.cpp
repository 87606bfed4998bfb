#include "SplitPath.h"

void SplitPath(CString path, CString& folder, CString& fileName)
{
    const int slash = path.ReverseFind('\\');
    if (slash < 0) {
        folder.Empty();
        fileName = path;
        return;
    }
    folder = path.Left(slash);
    fileName = path.Mid(slash + 1);
}
