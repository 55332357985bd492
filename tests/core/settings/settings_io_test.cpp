#include "support/fake_controls.h"
#include "support/recording_backend.h"
#include "support/temp_folder.h"

#include "core/settings/settings_io.h"
#include "platform/linux/hive_file.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

using namespace pellwick;
using pellwick::test::FakeControls;
using pellwick::test::ReadBytes;
using pellwick::test::RecordingBackend;
using pellwick::test::TempFolder;

namespace {

const std::string kKey(kSettingsKey);

struct Store
{
    TempFolder folder;
    HiveFile hive {folder / "registry.reg"};
    Registry registry {hive};
};

const SettingRow &row(std::string_view valueName)
{
    for (const SettingRow &r : SettingsTable())
        if (r.valueName == valueName)
            return r;
    throw std::out_of_range(std::string(valueName));
}

} // namespace

TEST(SettingsTable, NineteenRowsInLoadOrderWithTheirTypesAndDefaults)
{
    const std::vector<std::string> expected = {
        "SMTPServer txtSmtpServer 1 localhost",
        "Msg txtMsg 1 Your New IP Address is [IPADDRESS]",
        "Sender txtSender 1 pellwick@localhost",
        "Recipient txtRecipient 1 root@localhost",
        "Subject txtSubject 1 Your New IP is [IPADDRESS]",
        "EmailOnIPStartup chkEmailIPOnStartup 4 1",
        "DisplayIcon chkDisplayIcon 4 1",
        "AutoMail chkAutoMail 4 0",
        "AutoExit chkAutoExit 4 0",
        "StartMinimized chkMinimized 4 0",
        "AutoEmailOnNewIP chkAutoEmailOnNewIP 4 1",
        "ShowDebug chkShowDebug 4 0",
        "ShowIP chkShowIP 4 1",
        "ShowPhyMem chkShowPhyMem 4 1",
        "ShowVirtMem chkShowVirtualMem 4 1",
        "CopyClipOnStartup chkCopyToClipOnStartup 4 0",
        "TimerSend chkTimerSend 4 0",
        "TimerValue txtTimerRate 1 30",
        "TimerValueType cmbTimerRate 4 0",
    };
    std::vector<std::string> actual;
    for (const SettingRow &r : SettingsTable()) {
        const bool text = std::holds_alternative<std::string>(r.defaultValue);
        EXPECT_EQ(text, r.kind == ControlKind::TextBox) << r.valueName;
        EXPECT_EQ(r.kind == ControlKind::ComboBox, r.controlName.substr(0, 3) == "cmb");
        EXPECT_EQ(r.kind == ControlKind::CheckBox, r.controlName.substr(0, 3) == "chk");
        actual.push_back(std::string(r.valueName) + " " + std::string(r.controlName) + " "
                         + std::to_string(r.type) + " "
                         + (text ? std::get<std::string>(r.defaultValue)
                                 : std::to_string(std::get<std::int32_t>(r.defaultValue))));
    }
    EXPECT_EQ(actual, expected);
    EXPECT_EQ(kSettingsKey, "Software\\Pellwick");
}

TEST(SettingsTable, LoadedValuesBecomeWhatTheirControlCanHold)
{
    const SettingRow &text = row("TimerValue");
    EXPECT_EQ(LoadedText(std::string("12 min"), text), "12 min");
    EXPECT_EQ(LoadedText(std::string(), text), "");
    EXPECT_EQ(LoadedText(std::int32_t {-7}, text), "-7");
    EXPECT_EQ(LoadedText(std::monostate {}, text), "30");

    const SettingRow &on = row("ShowIP");
    const SettingRow &off = row("AutoMail");
    EXPECT_EQ(LoadedCheckState(std::int32_t {0}, on), 0);
    EXPECT_EQ(LoadedCheckState(std::int32_t {2}, off), 1);
    EXPECT_EQ(LoadedCheckState(std::int32_t {-1}, off), 1);
    EXPECT_EQ(LoadedCheckState(std::string("1"), off), 1);
    EXPECT_EQ(LoadedCheckState(std::string("-0"), on), 0);
    EXPECT_EQ(LoadedCheckState(std::string("+99999999999999999999"), off), 1);
    EXPECT_EQ(LoadedCheckState(std::string("yes"), off), 0);
    EXPECT_EQ(LoadedCheckState(std::string(" 1"), on), 1);
    EXPECT_EQ(LoadedCheckState(std::string(""), on), 1);
    EXPECT_EQ(LoadedCheckState(std::monostate {}, on), 1);

    const SettingRow &list = row("TimerValueType");
    EXPECT_EQ(LoadedListIndex(std::int32_t {2}, list), 2);
    EXPECT_EQ(LoadedListIndex(std::int32_t {-1}, list), -1);
    EXPECT_EQ(LoadedListIndex(std::int32_t {3}, list), -1);
    EXPECT_EQ(LoadedListIndex(std::int32_t {-2147483647 - 1}, list), -1);
    EXPECT_EQ(LoadedListIndex(std::string("1"), list), 1);
    EXPECT_EQ(LoadedListIndex(std::string("70000"), list), -1);
    EXPECT_EQ(LoadedListIndex(std::string("Hours"), list), 0);
    EXPECT_EQ(LoadedListIndex(std::monostate {}, list), 0);
}

TEST(SettingsIo, AnEmptyStoreLoadsTheDefaultsInTableOrderAndStaysEmpty)
{
    Store s;
    FakeControls controls;
    LoadSettings(s.registry, controls);
    std::vector<std::string> expected;
    for (const SettingRow &r : SettingsTable())
        expected.push_back(std::string(r.controlName) + "="
                           + (r.kind == ControlKind::TextBox
                                  ? std::get<std::string>(r.defaultValue)
                                  : std::to_string(std::get<std::int32_t>(r.defaultValue))));
    EXPECT_EQ(controls.assigned, expected);
    EXPECT_FALSE(std::filesystem::exists(s.hive.File()));
}

TEST(SettingsIo, SaveWritesEveryRowInSaveOrderAndTheHiveMatchesTheGoldenFile)
{
    Store s;
    FakeControls controls;
    LoadSettings(s.registry, controls);
    controls.texts["txtSubject"] = "";
    controls.texts["txtMsg"] = "IP: \"[IPADDRESS]\" \\ done";
    controls.states["chkAutoMail"] = 1;
    controls.states["chkShowPhyMem"] = 0;
    controls.states["cmbTimerRate"] = -1;

    RecordingBackend spy(s.hive);
    Registry registry(spy);
    SaveSettings(registry, controls);
    std::vector<std::string> written;
    for (const std::string &call : spy.calls)
        if (call.rfind("SetValue ", 0) == 0)
            written.push_back(call.substr(9, call.find(' ', 9) - 9));
    EXPECT_EQ(written,
              (std::vector<std::string> {"SMTPServer", "Recipient", "Msg", "Sender", "Subject",
                                         "EmailOnIPStartup", "DisplayIcon", "AutoMail", "AutoExit",
                                         "StartMinimized", "AutoEmailOnNewIP", "ShowDebug",
                                         "ShowIP", "ShowPhyMem", "ShowVirtMem", "CopyClipOnStartup",
                                         "TimerSend", "TimerValue", "TimerValueType"}));
    EXPECT_EQ(spy.openKeys, 0);
    EXPECT_EQ(ReadBytes(s.hive.File()),
              ReadBytes(std::filesystem::path(PELLWICK_SETTINGS_TEST_DATA) / "saved_record.reg"));

    FakeControls again;
    LoadSettings(s.registry, again);
    EXPECT_EQ(again.texts, controls.texts);
    EXPECT_EQ(again.states, controls.states);
    EXPECT_EQ(again.texts.at("txtSubject"), "");
    EXPECT_EQ(again.states.at("cmbTimerRate"), -1);
}

TEST(SettingsIo, ValuesOfTheWrongTypeLoadConvertedAndSaveWithTheTableType)
{
    Store s;
    s.registry.SetKeyValue(kHkeyLocalMachine, kKey, "TimerValue", std::int32_t {45}, kRegDword);
    s.registry.SetKeyValue(kHkeyLocalMachine, kKey, "autoMAIL", std::string("1"), kRegSz);
    s.registry.SetKeyValue(kHkeyLocalMachine, kKey, "ShowIP", std::int32_t {0}, kRegDword);
    s.registry.SetKeyValue(kHkeyLocalMachine, kKey, "TimerValueType", std::string("Hours"), kRegSz);

    FakeControls controls;
    LoadSettings(s.registry, controls);
    EXPECT_EQ(controls.texts.at("txtTimerRate"), "45");
    EXPECT_EQ(controls.states.at("chkAutoMail"), 1);
    EXPECT_EQ(controls.states.at("chkShowIP"), 0);
    EXPECT_EQ(controls.states.at("cmbTimerRate"), 0);
    EXPECT_EQ(controls.states.at("chkShowPhyMem"), 1);

    SaveSettings(s.registry, controls);
    const std::string hive = ReadBytes(s.hive.File());
    EXPECT_NE(hive.find("\"TimerValue\"=\"45\"\r\n"), std::string::npos) << hive;
    EXPECT_NE(hive.find("\"autoMAIL\"=dword:00000001\r\n"), std::string::npos) << hive;
    EXPECT_NE(hive.find("\"TimerValueType\"=dword:00000000\r\n"), std::string::npos) << hive;
}

TEST(SettingsIo, ARefusedWriteLosesOnlyItsOwnValue)
{
    Store s;
    FakeControls controls;
    LoadSettings(s.registry, controls);
    RecordingBackend spy(s.hive);
    spy.interfere = [](const std::string &call) {
        return call.rfind("SetValue Msg ", 0) == 0 ? kErrorAccessDenied : 0;
    };
    Registry registry(spy);
    SaveSettings(registry, controls);
    EXPECT_EQ(spy.openKeys, 0);

    FakeControls loaded;
    LoadSettings(s.registry, loaded);
    EXPECT_EQ(loaded.assigned, controls.assigned);
    const std::string hive = ReadBytes(s.hive.File());
    EXPECT_EQ(hive.find("\"Msg\""), std::string::npos);
    EXPECT_NE(hive.find("\"TimerValueType\"=dword:00000000"), std::string::npos);
}
