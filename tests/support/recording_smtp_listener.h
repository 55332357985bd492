#pragma once

#include "core/mail/smtp_listener.h"

#include <string>
#include <vector>

namespace pellwick::test {

// A window for the SMTP dialogue that keeps what the dialogue shows it.
class RecordingSmtpListener : public SmtpListener
{
public:
    void AppendToDebugLog(const std::string &text) override { log += text; }
    void UpdateCaption(const std::string &text) override { captions.push_back(text); }
    void DialogueEnded(const DialogueOutcome &result) override { outcome = result; }
    void CheckAutoExit() override { ++dialoguesEnded; }

    std::string log;
    std::vector<std::string> captions; // the last is the one shown
    DialogueOutcome outcome;
    int dialoguesEnded = 0;
};

} // namespace pellwick::test
