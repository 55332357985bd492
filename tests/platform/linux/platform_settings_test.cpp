#include "support/temp_folder.h"

#include "platform/linux/xdg_paths.h"
#include "platform/platform.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

using namespace pellwick;
using pellwick::test::TempFolder;

namespace {

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
