// SPDX-License-Identifier: MIT
#include "core/settings/settings.h"

#include "core/text/text.h"

#include <algorithm>
#include <array>
#include <stdexcept>

namespace pellwick {

namespace {

SettingRow text(std::string_view name, Control control, const char *fallback, std::int32_t limit)
{
    return {name, std::string(fallback), ControlKind::TextBox, control, 0, limit};
}

// A check box holds 0, 1 or 2 (grey); any other number checks it.
SettingRow check(std::string_view name, Control control, std::int32_t fallback)
{
    return {name, fallback, ControlKind::CheckBox, control, 0, 2, 1};
}

SettingValue loaded(const SettingRow &row, const std::optional<SettingValue> &value)
{
    const auto *number = value ? std::get_if<std::int32_t>(&*value) : nullptr;
    if (std::holds_alternative<std::string>(row.fallback)) {
        std::string loadedText = number ? std::to_string(*number)
                                        : std::get<std::string>(value.value_or(row.fallback));
        loadedText.resize(ControlCutLength(loadedText, static_cast<std::size_t>(row.max)));
        return loadedText;
    }
    // A text counts when it is a whole number.
    const auto parsed
        = value && !number ? ParseWholeNumber(std::get<std::string>(*value)) : std::nullopt;
    const std::int64_t n = number ? *number : parsed.value_or(std::get<std::int32_t>(row.fallback));
    return n >= row.min && n <= row.max ? static_cast<std::int32_t>(n) : row.outside;
}

} // namespace

StoredValue Stored(const SettingValue &value)
{
    if (const auto *text = std::get_if<std::string>(&value))
        return {kTextType, *text + '\0'};
    const auto bits = static_cast<std::uint32_t>(std::get<std::int32_t>(value));
    std::string bytes;
    for (int shift = 0; shift < 32; shift += 8)
        bytes += static_cast<char>(bits >> shift & 0xFF);
    return {kNumberType, bytes};
}

std::optional<SettingValue> Decoded(const StoredValue &stored)
{
    const std::string &bytes = stored.bytes;
    if (stored.type == kTextType && !bytes.empty())
        return bytes.substr(0, bytes.size() - (bytes.back() == '\0' ? 1 : 0));
    if (stored.type != kNumberType || bytes.size() > 4)
        return std::nullopt;
    std::uint32_t bits = 0;
    for (std::size_t i = bytes.size(); i-- > 0;)
        bits = bits << 8 | static_cast<unsigned char>(bytes[i]);
    return static_cast<std::int32_t>(bits);
}

std::span<const SettingRow> SettingsTable()
{
    // The three installation values point at this machine, where a local mail
    // server delivers at once without any further setup.
    static const std::array table {
        text("SMTPServer", Control::SmtpServer, "localhost", 255),
        text("Recipient", Control::Recipient, "root@localhost", 4096),
        // The largest: at its limit in the costliest form it still fits what the
        // settings file may hold.
        text("Msg", Control::Message, "Your New IP Address is [IPADDRESS]", 1 << 20),
        text("Sender", Control::Sender, "pellwick@localhost", 1024),
        text("Subject", Control::Subject, "Your New IP is [IPADDRESS]", 1024),
        check("EmailOnIPStartup", Control::EmailIpOnStartup, 1),
        check("DisplayIcon", Control::DisplayIcon, 1),
        check("AutoMail", Control::AutoMail, 0),
        check("AutoExit", Control::AutoExit, 0),
        check("StartMinimized", Control::StartMinimized, 0),
        check("AutoEmailOnNewIP", Control::EmailOnNewIp, 1),
        check("ShowDebug", Control::ShowDebug, 0),
        check("ShowIP", Control::ShowIp, 1),
        check("ShowPhyMem", Control::ShowPhysicalMemory, 1),
        check("ShowVirtMem", Control::ShowVirtualMemory, 1),
        check("CopyClipOnStartup", Control::CopyIpOnStartup, 0),
        check("TimerSend", Control::TimerSend, 0),
        text("TimerValue", Control::TimerRate, "30", 32),
        // The unit list's entry, -1 for none (a typed unit).
        SettingRow {"TimerValueType", 0, ControlKind::ComboBox, Control::TimerUnit, -1, 2, -1},
        // Whether a failed mail is told in a balloon.
        check("NotifyOnFailure", Control::NotifyOnFailure, 1),
        // The mail server's port and protection (0 none, 1 STARTTLS, 2 TLS); a
        // protection nobody knows must not mean plain text.
        SettingRow {"SMTPPort", 25, ControlKind::None, Control::Tabs, 1, 65535, 25},
        SettingRow {"SMTPSecurity", 0, ControlKind::None, Control::Tabs, 0, 2, 1},
        // The log-in user and a pinned certificate; the password is never stored.
        SettingRow {"SMTPUser", std::string(), ControlKind::None, Control::Tabs, 0, 255},
        SettingRow {"SMTPPin", std::string(), ControlKind::None, Control::Tabs, 0, 255},
        // Whom the public address is asked of: 0 nobody, 1 the router, 2 the
        // router then the STUN server, 3 the STUN server only; and that server.
        SettingRow {kPublicAddressSourceName, 1, ControlKind::None, Control::AskRouter, 0, 3, 1},
        text("StunServer", Control::StunServer, "", 255),
    };
    return table;
}

std::size_t Settings::RowOf(std::string_view name)
{
    const auto table = SettingsTable();
    const auto found = std::ranges::find(table, name, &SettingRow::name);
    if (found == table.end())
        throw std::invalid_argument("no setting " + std::string(name));
    return static_cast<std::size_t>(found - table.begin());
}

const SettingRow &SettingRowNamed(std::string_view name)
{
    return SettingsTable()[Settings::RowOf(name)];
}

Settings::Settings()
{
    for (const SettingRow &row : SettingsTable())
        m_values.push_back(row.fallback);
    m_stored = m_values;
}

Settings Settings::Load(SettingsStore &store)
{
    Settings settings;
    const auto table = SettingsTable();
    for (std::size_t i = 0; i < table.size(); ++i) {
        const auto stored = store.Read(std::string(table[i].name));
        settings.m_values[i] = loaded(table[i], stored ? Decoded(*stored) : std::nullopt);
    }
    settings.m_stored = settings.m_values;
    return settings;
}

std::string Settings::Save(SettingsStore &store,
                           const std::function<void(std::string_view name)> &overwritten)
{
    const auto table = SettingsTable();
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (m_values[i] == m_stored[i])
            continue;
        const std::string name(table[i].name);
        const auto stored = store.Read(name);
        const SettingValue now = loaded(table[i], stored ? Decoded(*stored) : std::nullopt);
        if (now != m_stored[i] && now != m_values[i] && overwritten)
            overwritten(table[i].name);
        store.Write(name, Stored(m_values[i]));
    }
    std::string failure = store.Commit();
    if (failure.empty())
        m_stored = m_values;
    return failure;
}

std::vector<std::string_view> Settings::TakeUnchanged(const Settings &later)
{
    std::vector<std::string_view> taken;
    for (std::size_t i = 0; i < m_values.size(); ++i) {
        if (m_values[i] != m_stored[i] || later.m_values[i] == m_stored[i])
            continue;
        m_values[i] = m_stored[i] = later.m_values[i];
        taken.push_back(SettingsTable()[i].name);
    }
    return taken;
}

} // namespace pellwick
