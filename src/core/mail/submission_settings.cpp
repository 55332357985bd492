// SPDX-License-Identifier: MIT
#include "core/mail/submission_settings.h"

#include "core/settings/settings.h"

namespace pellwick {

SubmissionSettings SubmissionSettings::From(const Settings &settings)
{
    return {settings.Number("SMTPPort"), settings.Number("SMTPSecurity"), settings.Text("SMTPUser"),
            settings.Text("SMTPPin")};
}

void SubmissionSettings::StoreIn(Settings &settings) const
{
    settings.Set("SMTPPort", port);
    settings.Set("SMTPSecurity", security);
    settings.Set("SMTPUser", user);
    settings.Set("SMTPPin", pin);
}

} // namespace pellwick
