#include "support/fake_controls.h"
#include "support/memory_registry.h"
#include "support/temp_folder.h"

#include "core/settings/hive_text.h"
#include "core/settings/settings_io.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

using namespace pellwick;
using pellwick::test::FakeControls;
using pellwick::test::MemoryRegistry;
using pellwick::test::ReadBytes;

namespace {

const SettingRow &row(std::string_view valueName)
{
    for (const SettingRow &r : SettingsTable())
        if (r.valueName == valueName)
            return r;
    throw std::out_of_range(std::string(valueName));
}

} // namespace

TEST(SettingsIo, LoadedValuesBecomeWhatTheirControlCanHold)
{
    using Row = std::tuple<const char *, RegistryValue, std::string>;
    for (const auto &[name, stored, shown] : {
             Row {"TimerValue", std::string("12 min"), "12 min"},
             Row {"TimerValue", std::int32_t {-7}, "-7"},
             Row {"TimerValue", std::monostate {}, "30"},
             Row {"ShowIP", std::int32_t {0}, "0"},
             Row {"AutoMail", std::int32_t {-1}, "1"},
             Row {"AutoMail", std::string("+99999999999999999999"), "1"},
             Row {"AutoMail", std::string("yes"), "0"},
             Row {"ShowIP", std::string(" 1"), "1"},
             Row {"ShowIP", std::monostate {}, "1"},
             Row {"TimerValueType", std::int32_t {3}, "-1"},
             Row {"TimerValueType", std::string("1"), "1"},
             Row {"TimerValueType", std::string("Hours"), "0"},
         }) {
        const SettingRow &r = row(name);
        EXPECT_EQ(r.kind == ControlKind::TextBox    ? LoadedText(stored, r)
                  : r.kind == ControlKind::CheckBox ? std::to_string(LoadedCheckState(stored, r))
                                                    : std::to_string(LoadedListIndex(stored, r)),
                  shown)
            << name;
    }
}

TEST(SettingsIo, SavedRecordMatchesTheGoldenFileAndARefusedWriteLosesOnlyItself)
{
    MemoryRegistry store;
    Registry registry(store);
    FakeControls controls;
    LoadSettings(registry, controls);
    controls.texts[Control::txtSubject] = "";
    controls.texts[Control::txtMsg] = "IP: \"[IPADDRESS]\" \\ done";
    controls.states[Control::chkAutoMail] = 1;
    controls.states[Control::chkShowPhyMem] = 0;
    controls.states[Control::cmbTimerRate] = -1;
    SaveSettings(registry, controls);
    EXPECT_EQ(FormatHive(store.hive),
              ReadBytes(std::filesystem::path(PELLWICK_TEST_DATA) / "saved_record.reg"));

    MemoryRegistry refusing;
    refusing.interfere = [](const std::string &call) {
        return call == "SetValue Msg" ? kErrorAccessDenied : 0;
    };
    Registry refused(refusing);
    SaveSettings(refused, controls);
    const std::string key = "HKEY_LOCAL_MACHINE\\Software\\Pellwick";
    EXPECT_EQ(refusing.hive.FindValue(key, "Msg"), nullptr);
    EXPECT_EQ(refusing.hive.FindValue(key, "TimerValueType")->data, "\xFF\xFF\xFF\xFF");
}
