#include "gui/win32/win32_app.h"

namespace pellwick {

int RunWin32App(HINSTANCE, int)
{
    return 0;
}

} // namespace pellwick
