// SPDX-License-Identifier: MIT
#include "core/tray/status_texts.h"

namespace pellwick {

std::string TrayTipText(bool showIp, bool showPhysMem, bool showVirtMem, const std::string &localIp,
                        const MemStatus &s)
{
    std::string tip;
    if (showIp)
        tip += localIp + " ";
    if (showPhysMem)
        tip += PercentText(s.availablePhysical, s.totalPhysical) + " Phyical Free ";
    if (showVirtMem)
        tip += PercentText(s.availableVirtual, s.totalVirtual) + " Virtual Free ";
    return tip;
}

std::string CaptionText(const std::string &text, const std::string &localIp)
{
    if (text.empty())
        return "Pellwick v" PELLWICK_VERSION "! - Your IP Is " + localIp;
    return text;
}

} // namespace pellwick
