#include "core/form/send_now.h"

#include "core/form/form_settings_controls.h"
#include "core/form/frm_main.h"
#include "core/settings/settings_io.h"
#include "core/text/text.h"

#include <utility>

namespace pellwick {

SendNow::SendNow(Socket &socket, Registry &registry, std::function<std::string()> localIp,
                 Smtp::Clock clock, Finished finished)
    : m_registry(registry)
    , m_localIp(std::move(localIp))
    , m_finished(std::move(finished))
    , m_smtp(socket, *this, std::move(clock))
{
}

void SendNow::Start()
{
    FormSettingsControls controls(m_view);
    LoadSettings(m_registry, controls);
    if (Trim(m_view.Text(Control::txtSmtpServer)).empty()) {
        m_finished(kConfig, "No SMTP server is set.");
        return;
    }
    StartMailFromView(m_smtp, m_view, m_localIp());
}

void SendNow::CheckAutoExit()
{
    switch (m_outcome.result) {
    case DeliveryResult::Delivered:
        m_finished(kDelivered, m_outcome.cause);
        break;
    case DeliveryResult::PassingFailure:
        m_finished(kTempFail, m_outcome.cause);
        break;
    case DeliveryResult::RefusedForGood:
        m_finished(kUnavailable, m_outcome.cause);
        break;
    }
}

} // namespace pellwick
