// SPDX-License-Identifier: MIT
#include "core/window/send_now.h"

#include "core/mail/message.h"
#include "core/settings/settings.h"
#include "core/window/main_window.h"

#include <algorithm>
#include <utility>

namespace pellwick {

SendNow::SendNow(Socket &socket, Deadline &deadline, SmtpEnvironment environment,
                 SettingsStore &store, std::function<std::string()> localIp,
                 PasswordStore *passwordStore, std::optional<PasswordLookup> passwordFile,
                 Finished finished)
    : m_store(store)
    , m_localIp(std::move(localIp))
    , m_passwordStore(passwordStore)
    , m_passwordFile(std::move(passwordFile))
    , m_finished(std::move(finished))
    , m_smtp(socket, *this, deadline, std::move(environment))
{
}

void SendNow::Start()
{
    const Settings settings = Settings::Load(m_store);
    // The texts the window's fields would show.
    const auto field = [&settings](Control control) {
        return settings.Text(
            std::ranges::find(SettingsTable(), control, &SettingRow::control)->name);
    };
    const std::string server = TrimSpaces(RemoveLineBreaks(settings.Text("SMTPServer")));
    if (const std::string problem = MailFieldsProblem(field, server); !problem.empty())
        m_finished(kConfig, problem);
    else
        StartMail(m_smtp, field, {m_localIp()}, settings, server, m_passwordStore, m_passwordFile);
}

void SendNow::CheckAutoExit()
{
    // In the order of DeliveryResult: delivered, a passing failure, refused.
    constexpr int kStatuses[] = {kDelivered, kTempFail, kUnavailable};
    m_finished(kStatuses[static_cast<int>(m_outcome.result)], m_outcome.cause);
}

} // namespace pellwick
