// The program's entry: the one application object, run by the framework.
#include "CVellokariApp.h"

CVellokariApp theApp;

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    return AfxWinMain();
}
