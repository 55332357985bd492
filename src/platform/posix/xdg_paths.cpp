// SPDX-License-Identifier: MIT
#include "platform/posix/xdg_paths.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace pellwick {

namespace {

std::filesystem::path homeFolder()
{
    if (const char *home = std::getenv("HOME"); home && *home)
        return home;
    if (const passwd *user = ::getpwuid(::getuid()); user && user->pw_dir)
        return user->pw_dir;
    return "/";
}

} // namespace

std::filesystem::path XdgConfigHome()
{
    // A relative value is invalid by the XDG rules and must be ignored.
    if (const char *configured = std::getenv("XDG_CONFIG_HOME"); configured && *configured == '/')
        return configured;
    return homeFolder() / ".config";
}

std::filesystem::path DefaultHivePath()
{
    return XdgConfigHome() / "pellwick" / "registry.reg";
}

} // namespace pellwick
