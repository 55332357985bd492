// SPDX-License-Identifier: MIT
#include "gui/win32/win32_startup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    return pellwick::RunWin32Program(instance);
}
