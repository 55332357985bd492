#include "support/temp_folder.h"

#include "platform/linux/hive_file.h"
#include "platform/linux/xdg_autostart.h"
#include "platform/linux/xdg_paths.h"
#include "platform/platform.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

using namespace pellwick;
using pellwick::test::ReadBytes;
using pellwick::test::TempFolder;

namespace {

const std::string kRunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

struct Store
{
    TempFolder folder;
    HiveFile hive {folder / "registry.reg"};
    Registry registry {hive};

    RegistryValue runValue()
    {
        return registry.QueryValue(kHkeyLocalMachine, kRunKey, "Pellwick", std::monostate {});
    }
};

// Sets an environment variable for one scope and puts the old value back.
class ScopedEnv
{
public:
    ScopedEnv(const char *name, const char *value)
        : m_name(name)
    {
        if (const char *old = std::getenv(name))
            m_old = old;
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    ~ScopedEnv()
    {
        if (m_old)
            ::setenv(m_name, m_old->c_str(), 1);
        else
            ::unsetenv(m_name);
    }
    ScopedEnv(const ScopedEnv &) = delete;
    ScopedEnv &operator=(const ScopedEnv &) = delete;

private:
    const char *m_name;
    std::optional<std::string> m_old;
};

} // namespace

TEST(RunKeyAutostart, CommandNamesTheProgramByItsTitleAndQuotesItOnlyWithABlank)
{
    EXPECT_EQ(RunKeyAutostart::Command("C:\\Tools"), "C:\\Tools\\Pellwick.exe /s");
    EXPECT_EQ(RunKeyAutostart::Command("C:\\Program Files\\Pellwick"),
              "\"C:\\Program Files\\Pellwick\\Pellwick.exe\" /s");
    EXPECT_EQ(RunKeyAutostart::Command("\\\\server\\share"), "\\\\server\\share\\Pellwick.exe /s");
}

TEST(RunKeyAutostart, RegisterWritesTheRunValueAndUnregisterRemovesIt)
{
    Store s;
    RunKeyAutostart autostart(s.registry, "C:\\Tools");
    autostart.Register();
    EXPECT_EQ(s.runValue(), RegistryValue(std::string("C:\\Tools\\Pellwick.exe /s")));
    EXPECT_EQ(ReadBytes(s.hive.File()),
              "REGEDIT4\r\n\r\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run]\r\n"
              "\"Pellwick\"=\"C:\\\\Tools\\\\Pellwick.exe /s\"\r\n\r\n");

    RunKeyAutostart moved(s.registry, "D:\\My Tools");
    moved.Register();
    EXPECT_EQ(s.runValue(), RegistryValue(std::string("\"D:\\My Tools\\Pellwick.exe\" /s")));

    moved.Unregister();
    EXPECT_EQ(s.runValue(), RegistryValue(std::monostate {}));
    const std::string after = ReadBytes(s.hive.File());
    autostart.Unregister(); // nothing left to remove: no change, no complaint
    EXPECT_EQ(ReadBytes(s.hive.File()), after);
}

TEST(XdgAutostart, TheEntryAppearsWithItsExecLineAndDisappears)
{
    TempFolder config;
    XdgAutostart autostart(config.path(), "/opt/pell wick/bin/pellwick");
    const auto entry = config / "autostart" / "pellwick.desktop";
    EXPECT_EQ(autostart.EntryFile(), entry);
    autostart.Unregister(); // before any entry exists
    EXPECT_FALSE(std::filesystem::exists(entry));

    autostart.Register();
    EXPECT_EQ(ReadBytes(entry), "[Desktop Entry]\n"
                                "Type=Application\n"
                                "Name=Pellwick\n"
                                "Comment=Mails this machine's local IP address\n"
                                "Exec=\"/opt/pell wick/bin/pellwick\" /s\n"
                                "Terminal=false\n"
                                "X-GNOME-Autostart-enabled=true\n");
    autostart.Register(); // written again over the old one
    EXPECT_EQ(test::FolderNames(config / "autostart"),
              std::vector<std::string> {"pellwick.desktop"});

    autostart.Unregister();
    EXPECT_FALSE(std::filesystem::exists(entry));
    autostart.Unregister();
}

TEST(XdgAutostart, ExecQuotesCharactersThatAreSpecialInAnEntry)
{
    const std::string entry = XdgAutostart::Entry("/home/a\"b/$x/`y`/100%/c\\d");
    EXPECT_NE(entry.find("\nExec=\"/home/a\\\\\"b/\\\\$x/\\\\`y\\\\`/100%%/c\\\\\\\\d\" /s\n"),
              std::string::npos)
        << entry;
}

TEST(XdgPaths, ConfigHomeFollowsTheXdgRules)
{
    const ScopedEnv home("HOME", "/home/ann");
    {
        const ScopedEnv xdg("XDG_CONFIG_HOME", "/srv/conf");
        EXPECT_EQ(XdgConfigHome(), "/srv/conf");
        EXPECT_EQ(DefaultHivePath(), "/srv/conf/pellwick/registry.reg");
    }
    for (const char *ignored : {static_cast<const char *>(nullptr), "", "relative/conf"}) {
        const ScopedEnv xdg("XDG_CONFIG_HOME", ignored);
        EXPECT_EQ(XdgConfigHome(), "/home/ann/.config") << (ignored ? ignored : "unset");
    }
}

TEST(PlatformSettings, TheStoreAndTheLoginEntryLiveUnderTheConfigHome)
{
    TempFolder config;
    const ScopedEnv xdg("XDG_CONFIG_HOME", config.path().c_str());
    auto backend = MakePlatformRegistryBackend();
    Registry registry(*backend);
    registry.SetKeyValue(kHkeyLocalMachine, "Software\\Pellwick", "Sender", std::string("a@b"),
                         kRegSz);
    using std::filesystem::perms;
    const auto modeOf = [](const std::filesystem::path &file) {
        return std::filesystem::status(file).permissions() & perms::mask;
    };
    // The hive holds mail addresses; the desktop entry is an ordinary public file.
    EXPECT_EQ(modeOf(config / "pellwick" / "registry.reg"), perms::owner_read | perms::owner_write);

    auto autostart = MakePlatformAutostart(registry, "/opt/pellwick", "/opt/pellwick/pellwick");
    autostart->Register();
    EXPECT_EQ(modeOf(config / "autostart" / "pellwick.desktop"),
              perms::owner_read | perms::owner_write | perms::group_read | perms::others_read);
    autostart->Unregister();
    EXPECT_FALSE(std::filesystem::exists(config / "autostart" / "pellwick.desktop"));
}
