#include "HomePage.h"

#include <shellapi.h>

const char kHomePageAddress[] = "https://www.morrowglint.example/";

void OpenHomePage(HWND owner)
{
    ::ShellExecuteA(owner, "open", kHomePageAddress, nullptr, nullptr, SW_SHOWNORMAL);
}
