#include "core/settings/settings_table.h"

#include <algorithm>
#include <string>

namespace pellwick {

namespace {

SettingRow text(std::string_view value, Control control, const char *fallback)
{
    return {value, control, ControlKind::TextBox, kRegSz, std::string(fallback)};
}

SettingRow check(std::string_view value, Control control, std::int32_t fallback)
{
    return {value, control, ControlKind::CheckBox, kRegDword, fallback};
}

} // namespace

const std::array<SettingRow, 19> &SettingsTable()
{
    // The three installation values point at this machine, where a local mail
    // server delivers at once without any further setup.
    static const std::array<SettingRow, 19> table {
        text("SMTPServer", Control::txtSmtpServer, "localhost"),
        text("Msg", Control::txtMsg, "Your New IP Address is [IPADDRESS]"),
        text("Sender", Control::txtSender, "pellwick@localhost"),
        text("Recipient", Control::txtRecipient, "root@localhost"),
        text("Subject", Control::txtSubject, "Your New IP is [IPADDRESS]"),
        check("EmailOnIPStartup", Control::chkEmailIPOnStartup, 1),
        check("DisplayIcon", Control::chkDisplayIcon, 1),
        check("AutoMail", Control::chkAutoMail, 0),
        check("AutoExit", Control::chkAutoExit, 0),
        check("StartMinimized", Control::chkMinimized, 0),
        check("AutoEmailOnNewIP", Control::chkAutoEmailOnNewIP, 1),
        check("ShowDebug", Control::chkShowDebug, 0),
        check("ShowIP", Control::chkShowIP, 1),
        check("ShowPhyMem", Control::chkShowPhyMem, 1),
        check("ShowVirtMem", Control::chkShowVirtualMem, 1),
        check("CopyClipOnStartup", Control::chkCopyToClipOnStartup, 0),
        check("TimerSend", Control::chkTimerSend, 0),
        text("TimerValue", Control::txtTimerRate, "30"),
        SettingRow {"TimerValueType", Control::cmbTimerRate, ControlKind::ComboBox, kRegDword,
                    std::int32_t {0}},
    };
    return table;
}

const std::array<const SettingRow *, 19> &SettingsSaveOrder()
{
    static const std::array<const SettingRow *, 19> order = [] {
        constexpr std::array<std::string_view, 5> mailTextsFirst {"SMTPServer", "Recipient", "Msg",
                                                                  "Sender", "Subject"};
        const auto &table = SettingsTable();
        std::array<const SettingRow *, 19> rows {};
        std::size_t next = 0;
        for (const std::string_view name : mailTextsFirst)
            rows[next++]
                = &*std::find_if(table.begin(), table.end(),
                                 [name](const SettingRow &row) { return row.valueName == name; });
        for (const SettingRow &row : table) {
            if (std::find(mailTextsFirst.begin(), mailTextsFirst.end(), row.valueName)
                == mailTextsFirst.end())
                rows[next++] = &row;
        }
        return rows;
    }();
    return order;
}

} // namespace pellwick
