// SPDX-License-Identifier: MIT
#pragma once

namespace pellwick {

// The whole run of the Qt program from its command line: the start-up both
// shells share, with Qt's event loop, window and tray. Returns the exit status.
int RunQtProgram(int &argc, char **argv);

} // namespace pellwick
