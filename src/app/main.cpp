// For now the program only shows its window's controls, all five tabs, so that
// the layout can be looked at and photographed.
#include "ui/main_window_controls.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    pellwick::MainWindowControls window;
    window.show();
    return app.exec();
}
