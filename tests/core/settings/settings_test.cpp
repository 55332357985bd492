// SPDX-License-Identifier: MIT
#include "support/memory_store.h"

#include "core/settings/settings.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

using namespace pellwick;
using namespace std::string_literals;

TEST(Settings, LoadedValuesBecomeWhatTheirRowCanHold)
{
    using Row = std::tuple<const char *, std::optional<StoredValue>, SettingValue>;
    for (const auto &[name, stored, loaded] : {
             Row {"TimerValue", Stored("12 min"s), "12 min"s},
             Row {"TimerValue", Stored(-7), "-7"s},
             Row {"TimerValue", std::nullopt, "30"s},
             Row {"ShowIP", Stored(0), 0},
             Row {"AutoMail", Stored(-1), 1},
             Row {"AutoMail", Stored("+99999999999999999999"s), 1},
             Row {"AutoMail", Stored("yes"s), 0},
             Row {"ShowIP", Stored(" 1"s), 1},
             Row {"ShowIP", std::nullopt, 1},
             Row {"TimerValueType", Stored(3), -1},
             Row {"TimerValueType", Stored("1"s), 1},
             Row {"TimerValueType", Stored("Hours"s), 0},
             Row {"SMTPPort", Stored("587"s), 587},
             Row {"SMTPPort", Stored(0), 25},
             Row {"SMTPPort", Stored(65536), 25},
             Row {"SMTPSecurity", Stored(2), 2},
             // An unknown protection must not mean plain text.
             Row {"SMTPSecurity", Stored(7), 1},
         }) {
        test::MemoryStore store;
        if (stored)
            store.Write(name, *stored);
        const Settings settings = Settings::Load(store);
        EXPECT_EQ(std::holds_alternative<std::string>(loaded) ? SettingValue(settings.Text(name))
                                                              : settings.Number(name),
                  loaded)
            << name;
    }
}
