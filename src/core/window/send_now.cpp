// SPDX-License-Identifier: MIT
#include "core/window/send_now.h"

#include "core/mail/message.h"
#include "core/settings/settings.h"
#include "core/tray/notify_area.h"
#include "core/window/main_window.h"

#include <algorithm>
#include <utility>

namespace pellwick {

SendNow::SendNow(Socket &socket, Deadline &deadline, SmtpEnvironment environment,
                 SettingsStore &store, std::function<std::string()> localIp,
                 std::function<std::optional<std::string>()> globalIpv6,
                 PasswordStore *passwordStore, std::optional<PasswordLookup> passwordFile,
                 Finished finished)
    : m_store(store)
    , m_localIp(std::move(localIp))
    , m_globalIpv6(std::move(globalIpv6))
    , m_passwordStore(passwordStore)
    , m_passwordFile(std::move(passwordFile))
    , m_finished(std::move(finished))
    , m_smtp(socket, *this, deadline, std::move(environment))
{
}

namespace {

// The texts the window's fields would show.
std::function<std::string(Control)> fieldsOf(const Settings &settings)
{
    return [&settings](Control control) {
        return settings.Text(
            std::ranges::find(SettingsTable(), control, &SettingRow::control)->name);
    };
}

} // namespace

void SendNow::AskPublicAddress(DatagramPort &port, StreamPort *streams, Deadline &deadline)
{
    m_datagrams = &port;
    m_streams = streams;
    m_addressDeadline = &deadline;
}

void SendNow::Start()
{
    m_settings = Settings::Load(m_store);
    const std::string server = TrimSpaces(RemoveLineBreaks(m_settings.Text("SMTPServer")));
    if (const std::string problem = MailFieldsProblem(fieldsOf(m_settings), server);
        !problem.empty()) {
        m_finished(kConfig, problem);
        return;
    }
    const auto uses = [this](const char *name) {
        return m_settings.Text(name).find(kPublicIpToken) != std::string::npos;
    };
    if (!m_datagrams || !(uses("Subject") || uses("Msg"))) {
        startMail();
        return;
    }
    m_publicIp = std::make_unique<PublicAddressFinder>(
        PublicAddressFinder::Parts {*m_datagrams, m_streams, *m_addressDeadline, SteadyMilliseconds,
                                    MessageIdRandom(), nullptr, [this] {
                                        startMail();
                                    }});
    m_publicIp->Configure(
        static_cast<PublicAddressSource>(m_settings.Number(kPublicAddressSourceName)),
        m_settings.Text("StunServer"));
    m_publicIp->SetWanted(true);
}

void SendNow::startMail()
{
    std::string publicIp;
    if (m_publicIp) {
        // The first answer decides; later ones find the mail on its way.
        if (m_publicIp->Settling() || std::exchange(m_mailStarted, true))
            return;
        publicIp = m_publicIp->Address();
        m_publicIp->SetWanted(false);
    }
    const auto field = fieldsOf(m_settings);
    const MailTokens tokens
        = TokensFor(field, m_localIp(), m_globalIpv6, [&publicIp]() -> std::optional<std::string> {
              return publicIp.empty() ? std::nullopt : std::optional(publicIp);
          });
    const std::string server = TrimSpaces(RemoveLineBreaks(m_settings.Text("SMTPServer")));
    if (!tokens.unknown.empty())
        m_finished(kTempFail, tokens.unknown);
    else
        StartMail(m_smtp, field, tokens.values, m_settings, server, m_passwordStore,
                  m_passwordFile);
}

void SendNow::CheckAutoExit()
{
    // In the order of DeliveryResult: delivered, a passing failure, refused.
    constexpr int kStatuses[] = {kDelivered, kTempFail, kUnavailable};
    m_finished(kStatuses[static_cast<int>(m_outcome.result)], m_outcome.cause);
}

} // namespace pellwick
