// SPDX-License-Identifier: MIT
#pragma once

#include "core/tray/notify_area.h"

#include <string>

namespace pellwick {

// Writes a message as one line on standard error: "title: text", its line
// breaks turned into blanks.
void WriteMessageLine(const std::string &title, const std::string &text);

// The notification area of a run with no desktop (--headless): there is no
// icon; messages go to standard error.
class StderrNotifyArea : public NotifyArea
{
public:
    void ShowIcon(const std::string &) override { }
    void SetTip(const std::string &) override { }
    void HideIcon() override { }
    bool Available() const override { return false; }
    void ShowMessage(const std::string &title, const std::string &text) override
    {
        WriteMessageLine(title, text);
    }
};

} // namespace pellwick
