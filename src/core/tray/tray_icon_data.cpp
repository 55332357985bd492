#include "core/tray/tray_icon_data.h"

#include <algorithm>

namespace pellwick {

void SetTrayTipText(TrayIconData &data, std::string_view tip)
{
    std::size_t length = std::min(tip.size(), data.szTip.size() - 1);
    // A cut inside a multi-byte character would leave the shell an invalid text.
    if (length < tip.size()) {
        while (length > 0 && (static_cast<unsigned char>(tip[length]) & 0xC0) == 0x80)
            --length;
    }
    data.szTip.fill('\0');
    std::copy_n(tip.begin(), length, data.szTip.begin());
}

std::string TrayTipText(const TrayIconData &data)
{
    const auto end = std::find(data.szTip.begin(), data.szTip.end(), '\0');
    return std::string(data.szTip.begin(), end);
}

} // namespace pellwick
