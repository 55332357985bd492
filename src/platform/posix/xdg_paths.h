// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>

namespace pellwick {

// The user's configuration folder: $XDG_CONFIG_HOME when it is an absolute path,
// else $HOME/.config (the home folder from the user database when HOME is unset).
std::filesystem::path XdgConfigHome();

// Where the hive file lives: XdgConfigHome()/pellwick/registry.reg.
std::filesystem::path DefaultHivePath();

} // namespace pellwick
