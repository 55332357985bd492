#include "core/settings/settings_table.h"

#include <string>

namespace pellwick {

namespace {

SettingRow text(std::string_view value, std::string_view control, const char *fallback)
{
    return {value, control, ControlKind::TextBox, kRegSz, std::string(fallback)};
}

SettingRow check(std::string_view value, std::string_view control, std::int32_t fallback)
{
    return {value, control, ControlKind::CheckBox, kRegDword, fallback};
}

} // namespace

const std::array<SettingRow, 19> &SettingsTable()
{
    // The three installation values point at this machine, where a local mail
    // server delivers at once without any further setup.
    static const std::array<SettingRow, 19> table {
        text("SMTPServer", "txtSmtpServer", "localhost"),
        text("Msg", "txtMsg", "Your New IP Address is [IPADDRESS]"),
        text("Sender", "txtSender", "pellwick@localhost"),
        text("Recipient", "txtRecipient", "root@localhost"),
        text("Subject", "txtSubject", "Your New IP is [IPADDRESS]"),
        check("EmailOnIPStartup", "chkEmailIPOnStartup", 1),
        check("DisplayIcon", "chkDisplayIcon", 1),
        check("AutoMail", "chkAutoMail", 0),
        check("AutoExit", "chkAutoExit", 0),
        check("StartMinimized", "chkMinimized", 0),
        check("AutoEmailOnNewIP", "chkAutoEmailOnNewIP", 1),
        check("ShowDebug", "chkShowDebug", 0),
        check("ShowIP", "chkShowIP", 1),
        check("ShowPhyMem", "chkShowPhyMem", 1),
        check("ShowVirtMem", "chkShowVirtualMem", 1),
        check("CopyClipOnStartup", "chkCopyToClipOnStartup", 0),
        check("TimerSend", "chkTimerSend", 0),
        text("TimerValue", "txtTimerRate", "30"),
        SettingRow {"TimerValueType", "cmbTimerRate", ControlKind::ComboBox, kRegDword,
                    std::int32_t {0}},
    };
    return table;
}

const std::array<std::size_t, 19> &SettingsSaveOrder()
{
    static const std::array<std::size_t, 19> order {0,  3,  1,  2,  4,  5,  6,  7,  8, 9,
                                                    10, 11, 12, 13, 14, 15, 16, 17, 18};
    return order;
}

} // namespace pellwick
