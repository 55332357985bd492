#pragma once

#include "core/settings/settings_io.h"

#include <map>
#include <string>

namespace pellwick::test {

// The window's controls as load and save see them, as plain fields.
struct FakeControls : SettingsControls
{
    std::map<Control, std::string> texts;
    std::map<Control, int> states;

    std::string Text(Control c) const override { return texts.at(c); }
    int CheckState(Control c) const override { return states.at(c); }
    int ListIndex(Control c) const override { return states.at(c); }
    void SetText(Control c, const std::string &text) override { texts[c] = text; }
    void SetCheckState(Control c, int state) override { states[c] = state; }
    void SetListIndex(Control c, int index) override { states[c] = index; }
};

} // namespace pellwick::test
