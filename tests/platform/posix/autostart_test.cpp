// SPDX-License-Identifier: MIT
#include "support/temp_folder.h"

#include "platform/posix/xdg_autostart.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
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
    // An ordinary public file, unlike the hive.
    using std::filesystem::perms;
    EXPECT_EQ(std::filesystem::status(entry).permissions(),
              perms::owner_read | perms::owner_write | perms::group_read | perms::others_read);
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
    const std::string bin = (t / "bin").string(), other = (t / "other").string();
    const std::string plain = (t / "plain").string(), links = (t / "links").string();

    const struct
    {
        std::string program, searchPath, named;
    } cases[] = {
        {installed, links, "pellwick"}, // a link to it
        {installed, plain + ":" + bin, "pellwick"}, // not a program: passed over
        {installed, other + ":" + bin, installed}, // another one comes first
        {built, bin + ":" + other, built}, // a build tree
        {installed, "", installed},
        {installed, "bin::.", installed}, // relative folders count for nothing
    };
    for (const auto &c : cases)
        EXPECT_EQ(LoginProgram(c.program, c.searchPath), c.named) << c.searchPath;
}

// The variables are this test's own: it runs in a process of its own, and last.
TEST(XdgPaths, ConfigHomeFollowsTheXdgRules)
{
    ::setenv("HOME", "/home/ann", 1);
    ::setenv("XDG_CONFIG_HOME", "/srv/conf", 1);
    EXPECT_EQ(XdgConfigHome(), "/srv/conf");
    EXPECT_EQ(DefaultHivePath(), "/srv/conf/pellwick/registry.reg");
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(XdgConfigHome(), "/home/ann/.config");
    ::setenv("XDG_CONFIG_HOME", "relative/conf", 1); // ignored, as the rules say
    EXPECT_EQ(XdgConfigHome(), "/home/ann/.config");
}
