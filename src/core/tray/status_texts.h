// SPDX-License-Identifier: MIT
#pragma once

#include "core/tray/memory.h"

#include <string>

namespace pellwick {

// The tooltip of UpdateTrayTip: the local IP, the physical and the virtual
// percentage, each switched on by its own option and each followed by its label.
std::string TrayTipText(bool showIp, bool showPhysMem, bool showVirtMem, const std::string &localIp,
                        const MemStatus &s);

// The window title of UpdateCaption: the product title and the local IP for the
// empty text, any other text unchanged.
std::string CaptionText(const std::string &text, const std::string &localIp);

} // namespace pellwick
