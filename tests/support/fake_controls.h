#pragma once

#include "core/settings/settings_io.h"

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace pellwick::test {

// The window's controls as plain fields; every assignment is written down in order.
class FakeControls : public SettingsControls
{
public:
    std::map<std::string, std::string, std::less<>> texts;
    std::map<std::string, int, std::less<>> states;
    std::vector<std::string> assigned;

    std::string Text(std::string_view control) const override
    {
        return texts.at(std::string(control));
    }
    int CheckState(std::string_view control) const override
    {
        return states.at(std::string(control));
    }
    int ListIndex(std::string_view control) const override
    {
        return states.at(std::string(control));
    }
    void SetText(std::string_view control, const std::string &text) override
    {
        texts[std::string(control)] = text;
        assigned.push_back(std::string(control) + "=" + text);
    }
    void SetCheckState(std::string_view control, int state) override
    {
        states[std::string(control)] = state;
        assigned.push_back(std::string(control) + "=" + std::to_string(state));
    }
    void SetListIndex(std::string_view control, int index) override
    {
        states[std::string(control)] = index;
        assigned.push_back(std::string(control) + "=" + std::to_string(index));
    }
};

} // namespace pellwick::test
