#pragma once

#include "core/mail/smtp_host.h"

#include <string>

namespace pellwick::test {

// A window for the SMTP dialogue that keeps what the dialogue shows it.
class RecordingSmtpHost : public SmtpHost
{
public:
    void AppendToDebugLog(const std::string &text) override { log += text; }
    void UpdateCaption(const std::string &text) override { caption = text; }
    void DialogueEnded(const DialogueOutcome &result) override { outcome = result; }
    void CheckAutoExit() override { ++dialoguesEnded; }

    std::string log;
    std::string caption;
    DialogueOutcome outcome;
    int dialoguesEnded = 0;
};

} // namespace pellwick::test
