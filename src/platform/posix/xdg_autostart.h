// SPDX-License-Identifier: MIT
#pragma once

#include "core/settings/autostart.h"

#include <filesystem>
#include <string>

namespace pellwick {

// Linux desktops: an XDG autostart entry, configHome/autostart/pellwick.desktop.
class XdgAutostart : public Autostart
{
public:
    XdgAutostart(std::filesystem::path configHome, std::string programPath);

    std::filesystem::path EntryFile() const;
    // The desktop entry's text; Exec= starts the program (quoted when it holds
    // anything but plain characters) with "/s".
    static std::string Entry(const std::string &programPath);

    void Register() override;
    void Unregister() override;

private:
    std::filesystem::path m_configHome;
    std::string m_programPath;
};

} // namespace pellwick
