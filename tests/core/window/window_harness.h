// SPDX-License-Identifier: MIT
#pragma once

#include "support/fake_datagram_port.h"
#include "support/fake_mail.h"
#include "support/test_machine.h"

#include "core/tray/notify_area.h"
#include "core/window/in_memory_view.h"
#include "core/window/main_window.h"

#include <memory>
#include <string>
#include <vector>

namespace pellwick::test {

// MainWindow on the in-memory view, with every part it reaches kept as plain
// state: the machine's, the socket's wire, the tray icon, the clipboard.
struct WindowHarness
    : TestMachine
    , FakeSocket
    , TickTimer
    , NotifyArea
    , Clipboard
{
    InMemoryView view;
    ManualDeadline deadline;
    // The public address's UDP and its time limits.
    FakeDatagramPort datagrams;
    ManualDeadline addressDeadline;
    ServerDialog *serverDialog = nullptr;
    std::unique_ptr<MainWindow> form;

    bool trayHost = true;
    std::string clipboard;
    bool timerRunning = false, iconShown = false;
    std::string iconTip;
    std::int64_t now = 0; // the steady clock, in ms
    std::vector<std::string> balloons;

    WindowHarness &Flags(const std::vector<std::pair<std::string, SettingValue>> &values)
    {
        for (const auto &[name, value] : values)
            hive.Write(name, pellwick::Stored(value));
        hive.Commit();
        return *this;
    }
    std::optional<SettingValue> Stored(std::string_view name)
    {
        const auto stored = hive.Read(std::string(name));
        return stored ? Decoded(*stored) : std::nullopt;
    }
    MainWindow &Make()
    {
        const ShellParts shell {.socket = *this,
                                .deadline = deadline,
                                .timer = *this,
                                .notifyArea = *this,
                                .clipboard = *this,
                                .serverDialog = serverDialog,
                                .datagrams = &datagrams,
                                .addressDeadline = &addressDeadline};
        form = std::make_unique<MainWindow>(
            view, WindowParts {Parts(), shell, [this] { return now; }, FixedMessageId});
        return *form;
    }
    MainWindow &Start()
    {
        Make().Start();
        return *form;
    }
    // The dialogue ends the way Smtp ends it.
    void End(DeliveryResult result, const std::string &cause = "451 try later")
    {
        SmtpListener &listener = *form;
        listener.UpdateCaption("");
        listener.DialogueEnded({result, cause, {}});
        listener.CheckAutoExit();
    }
    // The dialogue runs up to the message, every reply accepted; the wire then.
    std::string Converse()
    {
        Connected();
        for (const char *reply :
             {"220 mx\r\n", "250 mx\r\n", "250 ok\r\n", "250 ok\r\n", "354 go\r\n"})
            form->DataArrived(Arrive(reply));
        return wire;
    }
    void Tick(std::int64_t afterMs = 5000)
    {
        now += afterMs;
        form->Tick();
    }

    static std::uint64_t FixedMessageId() { return 1; }
    void Start(std::int64_t intervalMs) override { timerRunning = intervalMs == 5000; }
    void Stop() override { timerRunning = false; }
    void ShowIcon(const std::string &tip) override
    {
        iconShown = true;
        iconTip = tip;
    }
    void SetTip(const std::string &tip) override { iconTip = iconShown ? tip : iconTip; }
    void HideIcon() override { iconShown = false; }
    bool Available() const override { return trayHost; }
    void ShowMessage(const std::string &title, const std::string &text) override
    {
        balloons.push_back(title + "|" + text);
    }
    void SetText(const std::string &text) override { clipboard = text; }
};

} // namespace pellwick::test
