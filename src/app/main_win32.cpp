#include "gui/win32/win32_app.h"

// The shell reads its command line itself (GetCommandLineW), in UTF-16.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show)
{
    return pellwick::RunWin32App(instance, show);
}
