// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace pellwick {

// Texts cross between the program's logic (UTF-8 std::string) and the widgets.
inline std::string fromQ(const QString &text)
{
    return text.toStdString();
}

inline QString toQ(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace pellwick
