// SPDX-License-Identifier: MIT
#pragma once

#include "core/mail/password_store.h"
#include "core/mail/smtp.h"
#include "core/mail/smtp_listener.h"
#include "core/net/public_address.h"
#include "core/settings/settings.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace pellwick {

class SettingsStore;

// `pellwick --send-now`: one mail with the stored settings and no window. Ends
// with a status in the manner of sysexits: 0 delivered, 75 (EX_TEMPFAIL) a
// passing failure, 69 (EX_UNAVAILABLE) refused, 78 (EX_CONFIG) settings that
// could not be read or name no server, no sender or no recipients. An address
// the template uses but the machine does not know yet is a passing failure.
class SendNow : public SmtpListener
{
public:
    // Gets the status and the server's last reply, or why the mail did not go.
    using Finished = std::function<void(int status, const std::string &line)>;

    // The password as MainWindow finds it: from the file if given, else the store.
    SendNow(Socket &socket, Deadline &deadline, SmtpEnvironment environment, SettingsStore &store,
            std::function<std::string()> localIp,
            std::function<std::optional<std::string>()> globalIpv6, PasswordStore *passwordStore,
            std::optional<PasswordLookup> passwordFile, Finished finished);

    // The public address, for a template that uses it, is asked over these;
    // without them it is "unknown".
    void AskPublicAddress(DatagramPort &port, StreamPort *streams, Deadline &deadline);
    // Loads the settings and starts the dialogue (or finishes at once with 78).
    // A template with the public address waits for the first answer about it.
    void Start();
    void DataArrival(std::int32_t count) { m_smtp.HandleServerReply(count); }

    static constexpr int kDelivered = 0;
    static constexpr int kTempFail = 75;
    static constexpr int kUnavailable = 69;
    static constexpr int kConfig = 78;

    // SmtpListener.
    void AppendToDebugLog(const std::string &text) override { (void)text; }
    void UpdateCaption(const std::string &text) override { (void)text; }
    void DialogueEnded(const DialogueOutcome &outcome) override { m_outcome = outcome; }
    void CheckAutoExit() override;

private:
    void startMail();

    SettingsStore &m_store;
    Settings m_settings;
    DatagramPort *m_datagrams = nullptr;
    StreamPort *m_streams = nullptr;
    Deadline *m_addressDeadline = nullptr;
    std::unique_ptr<PublicAddressFinder> m_publicIp;
    bool m_mailStarted = false;
    std::function<std::string()> m_localIp;
    std::function<std::optional<std::string>()> m_globalIpv6;
    PasswordStore *m_passwordStore;
    std::optional<PasswordLookup> m_passwordFile;
    Finished m_finished;
    Smtp m_smtp;
    DialogueOutcome m_outcome;
};

} // namespace pellwick
