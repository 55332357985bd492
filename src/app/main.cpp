// SPDX-License-Identifier: MIT
#include "gui/qt/qt_startup.h"

int main(int argc, char *argv[])
{
    return pellwick::RunQtProgram(argc, argv);
}
