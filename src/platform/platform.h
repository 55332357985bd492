// SPDX-License-Identifier: MIT
#pragma once

#include "core/app/startup.h"
#include "core/mail/message.h"
#include "core/mail/password_file.h"
#include "core/mail/password_store.h"
#include "core/net/ipv4.h"
#include "core/settings/autostart.h"
#include "core/settings/store.h"
#include "core/tray/memory.h"
#include "platform/single_instance.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace pellwick {

// This machine's name (fully qualified where the system knows it), or the
// empty text when it cannot be told.
std::string HostName();

// The host's local IPv4 address as dotted text, read afresh at every call: the
// address of the interface that carries the default route, else the first
// address of an interface that is up and not loopback, else "127.0.0.1".
std::string LocalIP();

// The gateway of the IPv4 default route (the lowest metric's), read afresh at
// every call; 0 when there is none. The router that is asked for the public address.
Ipv4 DefaultGateway();
// The machine's global IPv6 address (core/net/global_ipv6.h says which), read
// afresh at every call; nullopt when it has none.
std::optional<std::string> GlobalIPv6();

// The host's local time now, with its real UTC offset.
LocalTime CurrentLocalTime();

// Reads the figures of this machine and of this process, again and again as the
// timer does: the reader may keep what it reads from ready between readings.
MemoryReader PlatformMemoryReader();

// This system's secret store: the Secret Service (libsecret) on Linux, the
// Credential Manager on Windows.
std::unique_ptr<PasswordStore> MakePasswordStore();

// Reads a file only when nobody but its owner, the user running the program,
// may read or change it (for --password-file).
PrivateFile ReadPrivateFile(const std::string &path);

// Something of the machine watched until the object is gone; its destructor
// returns once no call runs any more.
class Watch
{
public:
    virtual ~Watch() = default;
};

// Tells at once when an address or a route of this machine changes, so the IP
// step can run without waiting for the next tick: calls `changed`, on a thread
// of the watch's own (never the caller's), at each change or burst of changes;
// the shell carries it to its event loop. Nullptr where the system cannot tell
// (the tick still notices every change).
std::unique_ptr<Watch> WatchAddresses(std::function<void()> changed);

// Tells, as WatchAddresses does, when the values OpenSettingsStore() opens may
// have changed: a settings file replaced or written (the program's own saves
// too), a value of the registry key set. Nullptr where nothing can be watched
// (no settings folder yet).
std::unique_ptr<Watch> WatchSettings(std::function<void()> changed);

// Tells the service manager that started the program (systemd's
// $NOTIFY_SOCKET) of its state, "READY=1" or "STOPPING=1"; nothing where none
// listens.
void NotifyServiceManager(std::string_view state);

// Where the run's lines go: each stream the journal reads carries priorities.
MessageLines PlatformMessageLines();

// The values under one key of the machine: the real registry on Windows (HKLM,
// falling back to HKCU), the hive file at DefaultHivePath() elsewhere.
std::unique_ptr<SettingsStore> OpenSettingsStore(std::string_view keyPath = kSettingsKey);

// The log-in entry this system uses: the Run key on Windows, the XDG autostart
// entry under XdgConfigHome() elsewhere. `programFolder` names the folder of the
// executable, `programPath` the executable itself.
std::unique_ptr<Autostart> MakePlatformAutostart(const std::string &programFolder,
                                                 const std::string &programPath);

// One line from standard input without its line break; on a terminal (a
// console) it is not shown as it is typed. None at the end of the input.
std::optional<std::string> ReadPasswordLine();

// Where the executable lies: its folder and its full path.
struct ProgramLocation
{
    std::string folder;
    std::string path;
};

// Everything a start takes from this machine; `location` is asked once the
// shell has begun.
inline PlatformParts ThisPlatform(std::function<ProgramLocation()> location)
{
    return {
        .settingsStore = [] { return OpenSettingsStore(); },
        .passwordStore = MakePasswordStore,
        .readPrivateFile = ReadPrivateFile,
        .autostart =
            [location = std::move(location)] {
                const ProgramLocation where = location();
                return MakePlatformAutostart(where.folder, where.path);
            },
        .localIp = LocalIP,
        .globalIpv6 = GlobalIPv6,
        .memoryReader = PlatformMemoryReader(),
        .clock = CurrentLocalTime,
        .hostName = HostName,
        .lines = PlatformMessageLines(),
        .askRunning = AskRunningInstance,
        .readPassword = ReadPasswordLine,
    };
}

} // namespace pellwick
