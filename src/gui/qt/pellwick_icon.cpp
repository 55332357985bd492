#include "gui/qt/pellwick_icon.h"

#include <QSize>
#include <QString>

namespace pellwick {

QIcon PellwickIcon()
{
    QIcon icon;
    for (const int size : {16, 32, 64, 128})
        icon.addFile(QStringLiteral(":/pellwick/pellwick-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace pellwick
