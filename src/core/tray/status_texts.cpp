#include "core/tray/status_texts.h"

namespace pellwick {

std::string TrayTipText(bool showIp, bool showPhysMem, bool showVirtMem, const std::string &localIp,
                        const Memory &memory)
{
    std::string tip;
    if (showIp)
        tip += localIp + " ";
    if (showPhysMem)
        tip += memory.GetPhysPercent() + " Phyical Free ";
    if (showVirtMem)
        tip += memory.GetVirtPercent() + " Virtual Free ";
    return tip;
}

std::string FitTrayTip(const std::string &tip)
{
    if (tip.size() <= kMaxTrayTipLength)
        return tip;
    std::size_t cut = kMaxTrayTipLength;
    // Step back over continuation bytes (10xxxxxx) to the start of the character.
    while (cut > 0 && (static_cast<unsigned char>(tip[cut]) & 0xC0U) == 0x80U)
        --cut;
    return tip.substr(0, cut);
}

std::string CaptionText(const std::string &text, const std::string &localIp)
{
    if (text.empty())
        return "Pellwick v1.0! - Your IP Is " + localIp;
    return text;
}

std::string InitialTrayTip(const std::string &localIp)
{
    return "Local IP is " + localIp;
}

} // namespace pellwick
