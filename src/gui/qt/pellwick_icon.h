// SPDX-License-Identifier: MIT
#pragma once

#include <QIcon>

namespace pellwick {

// The program's icon, drawn for it (resources/pellwick.svg) and compiled in at
// 16, 32, 64 and 128 pixels. The window, the About picture and the tray use it.
// Copies share what was read: hand one icon around to read each size once.
QIcon PellwickIcon();

} // namespace pellwick
