#pragma once

#include "core/tray/memory.h"

#include <cstddef>
#include <string>

namespace pellwick {

// The tray shows at most this many characters of a tooltip.
inline constexpr std::size_t kMaxTrayTipLength = 63;

// The tooltip of UpdateTrayTip: the local IP, the physical and the virtual
// percentage, each switched on by its own option and each followed by its label.
std::string TrayTipText(bool showIp, bool showPhysMem, bool showVirtMem, const std::string &localIp,
                        const Memory &memory);

// The tip cut to kMaxTrayTipLength bytes, never inside a UTF-8 character.
std::string FitTrayTip(const std::string &tip);

// The window title of UpdateCaption: the product title and the local IP for the
// empty text, any other text unchanged.
std::string CaptionText(const std::string &text, const std::string &localIp);

// The tooltip that AddTrayIcon gives a new icon.
std::string InitialTrayTip(const std::string &localIp);

} // namespace pellwick
