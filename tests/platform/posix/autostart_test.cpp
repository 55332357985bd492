// SPDX-License-Identifier: MIT
#include "support/temp_folder.h"

#include "platform/posix/xdg_autostart.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

using namespace pellwick;
using pellwick::test::ReadBytes;
using pellwick::test::TempFolder;

TEST(XdgAutostart, TheEntryAppearsWithItsExecLineQuotedAndDisappears)
{
    TempFolder config;
    XdgAutostart autostart(config.path(), "/opt/pell wick/bin/pellwick");
    const auto entry = config / "autostart" / "pellwick.desktop";
    autostart.Unregister(); // before any entry exists

    autostart.Register();
    EXPECT_EQ(ReadBytes(entry), "[Desktop Entry]\n"
                                "Type=Application\n"
                                "Name=Pellwick\n"
                                "Comment=Mails this machine's local IP address\n"
                                "Exec=\"/opt/pell wick/bin/pellwick\" /s\n"
                                "TryExec=/opt/pell wick/bin/pellwick\n"
                                "Icon=pellwick\n"
                                "Terminal=false\n"
                                "X-GNOME-Autostart-enabled=true\n");
    autostart.Unregister();
    EXPECT_FALSE(std::filesystem::exists(entry));
    autostart.Unregister();

    // Characters special in an entry are quoted; a plain path goes as it is.
    for (const auto &[program, exec] : std::vector<std::pair<std::string, std::string>> {
             {"/home/a\"b/$x/`y`/100%/c\\d",
              "\"/home/a\\\\\"b/\\\\$x/\\\\`y\\\\`/100%%/c\\\\\\\\d\" /s"},
             {"/usr/bin/pellwick", "/usr/bin/pellwick /s"}})
        EXPECT_NE(XdgAutostart::Entry(program).find("\nExec=" + exec + "\n"), std::string::npos)
            << program;
}

TEST(LoginProgram, AProgramThatASearchByNameFindsGoesByItsName)
{
    TempFolder t;
    namespace fs = std::filesystem;
    const auto program = [&](const std::string &path, fs::perms mode) {
        fs::create_directories((t / path).parent_path());
        test::WriteBytes(t / path, "#!/bin/sh\n");
        fs::permissions(t / path, mode);
        return (t / path).string();
    };
    const auto installed = program("bin/pellwick", fs::perms::owner_all);
    const auto built = program("build/src/app/pellwick", fs::perms::owner_all);
    program("other/pellwick", fs::perms::owner_all);
    program("plain/pellwick", fs::perms::owner_read);
    fs::create_directory(t / "links");
    fs::create_symlink(installed, t / "links/pellwick");
    const auto dir = [&t](const char *name) {
        return (t / name).string();
    };
    using Case = std::tuple<std::string, std::string, std::string>;
    for (const auto &[path, search, named] : {
             Case {installed, dir("links"), "pellwick"}, // a link to it
             Case {installed, dir("plain") + ":" + dir("bin"), "pellwick"}, // not a program
             Case {installed, dir("other") + ":" + dir("bin"), installed}, // another comes first
             Case {built, dir("bin") + ":" + dir("other"), built}, // a build tree
             Case {installed, "", installed},
             Case {installed, "bin::.", installed}, // relative folders count for nothing
         })
        EXPECT_EQ(LoginProgram(path, search), named) << search;
}
