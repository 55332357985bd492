// SPDX-License-Identifier: MIT
#pragma once

#include "core/settings/autostart.h"

#include <filesystem>
#include <string>

namespace pellwick {

// The user's configuration folder: $XDG_CONFIG_HOME when it is an absolute path,
// else $HOME/.config (the home folder from the user database when HOME is unset).
std::filesystem::path XdgConfigHome();

// Where the hive file lives: XdgConfigHome()/pellwick/registry.reg.
std::filesystem::path DefaultHivePath();

// How the log-in entry names the program at `programPath`: by its bare name when a
// search of `searchPath` (PATH) for that name finds this very file, as desktop
// entries name installed programs (the entry then follows a package that replaces
// a copy installed from source); else, as for a build tree, by its full path.
std::string LoginProgram(const std::filesystem::path &programPath, const std::string &searchPath);

// Linux desktops: an XDG autostart entry, configHome/autostart/pellwick.desktop.
class XdgAutostart : public Autostart
{
public:
    XdgAutostart(std::filesystem::path configHome, std::string programPath);

    std::filesystem::path EntryFile() const;
    // The desktop entry's text; Exec= starts the program (quoted when it holds
    // anything but plain characters) with "/s", only while TryExec= finds it.
    static std::string Entry(const std::string &programPath);

    void Register() override;
    void Unregister() override;

private:
    std::filesystem::path m_configHome;
    std::string m_programPath;
};

} // namespace pellwick
