// SPDX-License-Identifier: MIT
#pragma once

#include "core/mail/deadline.h"
#include "core/mail/message.h"
#include "core/mail/password_store.h"
#include "core/mail/smtp.h"
#include "core/mail/submission_settings.h"
#include "core/tray/memory.h"
#include "core/tray/notify_area.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace pellwick {

class Autostart;
class DatagramPort;
class StreamPort;
class NotifyArea;
class SettingsStore;
class Socket;

// The window's timer. The shell calls MainWindow::Tick at every
// tick.
class TickTimer
{
public:
    virtual ~TickTimer() = default;
    virtual void Start(std::int64_t intervalMs) = 0;
    virtual void Stop() = 0;
};

class Clipboard
{
public:
    virtual ~Clipboard() = default;
    // Empties the clipboard, then puts the text on it.
    virtual void SetText(const std::string &text) = 0;
};

// A run without a desktop has no clipboard; the address is in the mail.
class NoClipboard final : public Clipboard
{
public:
    void SetText(const std::string &) override { }
};

// Milliseconds since some fixed moment of this boot; never goes back.
std::int64_t SteadyMilliseconds();

// What the machine and the program's start give a window, whichever shell
// shows it (or none, with --headless).
struct MachineParts
{
    // The values under the program's key.
    SettingsStore &store;
    Autostart &autostart;
    // The local IP address. MainWindow reads it at start, after every
    // change the shell reports (MainWindow::AddressChanged) and, as a safety net,
    // on the tick (every tick while `addressWatched` is false).
    std::function<std::string()> localIp;
    MemoryReader memoryReader;
    Smtp::Clock clock;
    // The program's arguments joined with single blanks.
    std::string commandLine;
    // Ends the process with the status (1 when the settings could not be saved,
    // else 0 or a log-in run's outcome in the manner of sysexits); ExitApp
    // calls it last.
    std::function<void(int status)> endProcess;
    // This machine's name: EHLO's argument, and the Message-ID's domain when the
    // sender's address has none.
    std::function<std::string()> hostName = [] {
        return std::string("localhost");
    };
    // The machine's global IPv6 address, nullopt while it has none; read as
    // the local IP is, but only for a template that uses it.
    std::function<std::optional<std::string>()> globalIpv6 = [] {
        return std::optional<std::string>();
    };
    // The secret store that keeps the SMTP password; none: no password is asked.
    PasswordStore *passwordStore = nullptr;
    // The password of --password-file, when the program was given one.
    std::optional<PasswordLookup> passwordFile = std::nullopt;
    // Where the outcome lines go, and whether they carry their priority.
    MessageLines lines = {};
};

// What a shell gives a window: its event sources and its own dialogs.
struct ShellParts
{
    // The socket; the shell reports its data arrivals through
    // MainWindow::DataArrived.
    Socket &socket;
    // The mail dialogue's time limits.
    Deadline &deadline;
    TickTimer &timer;
    NotifyArea &notifyArea;
    Clipboard &clipboard;
    // The shell tells MainWindow of every address change as it happens.
    bool addressWatched = false;
    // The "Server..." dialog; none: the button does nothing.
    ServerDialog *serverDialog = nullptr;
    // The UDP the public address is asked over and the asking's own time
    // limits; none: the public address stays unknown.
    DatagramPort *datagrams = nullptr;
    Deadline *addressDeadline = nullptr;
    // The TCP the router's UPnP service is asked over; none: NAT-PMP only.
    StreamPort *streams = nullptr;
};

// What MainWindow needs from the world outside its controls; the shell and main()
// give the real parts, tests give their own.
struct WindowParts
    : MachineParts
    , ShellParts
{
    // A clock that only moves forward, in milliseconds: when retries are due.
    std::function<std::int64_t()> steadyMs = SteadyMilliseconds;
    std::function<std::uint64_t()> messageIdRandom = MessageIdRandom();
};

} // namespace pellwick
