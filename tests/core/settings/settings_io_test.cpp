#include "support/fake_controls.h"
#include "support/memory_registry.h"
#include "support/temp_folder.h"

#include "core/settings/hive_text.h"
#include "core/settings/settings_io.h"

#include <gtest/gtest.h>

#include <string>

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
    struct Case
    {
        const char *row;
        RegistryValue stored;
        std::string shown;
    };
    for (const Case &c : {
             Case {"TimerValue", std::string("12 min"), "12 min"},
             Case {"TimerValue", std::int32_t {-7}, "-7"},
             Case {"TimerValue", std::monostate {}, "30"},
             Case {"ShowIP", std::int32_t {0}, "0"},
             Case {"AutoMail", std::int32_t {2}, "2"}, // grey stays grey
             Case {"AutoMail", std::int32_t {-1}, "1"},
             Case {"AutoMail", std::string("1"), "1"},
             Case {"AutoMail", std::string("+99999999999999999999"), "1"},
             Case {"AutoMail", std::string("yes"), "0"},
             Case {"ShowIP", std::string(" 1"), "1"},
             Case {"ShowIP", std::monostate {}, "1"},
             Case {"TimerValueType", std::int32_t {-1}, "-1"},
             Case {"TimerValueType", std::int32_t {3}, "-1"},
             Case {"TimerValueType", std::string("1"), "1"},
             Case {"TimerValueType", std::string("Hours"), "0"},
         }) {
        const SettingRow &r = row(c.row);
        const std::string shown = r.kind == ControlKind::TextBox ? LoadedText(c.stored, r)
                                  : r.kind == ControlKind::CheckBox
                                      ? std::to_string(LoadedCheckState(c.stored, r))
                                      : std::to_string(LoadedListIndex(c.stored, r));
        EXPECT_EQ(shown, c.shown) << c.row;
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
