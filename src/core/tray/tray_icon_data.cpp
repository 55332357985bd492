#include "core/tray/tray_icon_data.h"

#include "core/text/text.h"

#include <algorithm>

namespace pellwick {

void SetTrayTipText(TrayIconData &data, std::string_view tip)
{
    // A cut inside a multi-byte character would leave the shell an invalid text.
    const std::size_t length = Utf8CutLength(tip, data.szTip.size() - 1);
    data.szTip.fill('\0');
    std::copy_n(tip.begin(), length, data.szTip.begin());
}

std::string TrayTipText(const TrayIconData &data)
{
    const auto end = std::find(data.szTip.begin(), data.szTip.end(), '\0');
    return std::string(data.szTip.begin(), end);
}

} // namespace pellwick
