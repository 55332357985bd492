#include "core/settings/settings_io.h"

#include "core/text/text.h"

#include <algorithm>
#include <array>
#include <optional>

namespace pellwick {

namespace {

// The number a loaded value stands for, if it stands for one.
std::optional<std::int64_t> numberOf(const RegistryValue &value)
{
    if (const auto *number = std::get_if<std::int32_t>(&value))
        return *number;
    if (const auto *text = std::get_if<std::string>(&value))
        return ParseWholeNumber(*text);
    return std::nullopt;
}

std::int64_t defaultNumber(const SettingRow &row)
{
    return numberOf(row.defaultValue).value_or(0);
}

} // namespace

std::string LoadedText(const RegistryValue &value, const SettingRow &row)
{
    return ValueText(std::holds_alternative<std::monostate>(value) ? row.defaultValue : value);
}

int LoadedCheckState(const RegistryValue &value, const SettingRow &row)
{
    const std::int64_t number = numberOf(value).value_or(defaultNumber(row));
    if (number == vbUnchecked || number == vbGrayed)
        return static_cast<int>(number);
    return vbChecked;
}

int LoadedListIndex(const RegistryValue &value, const SettingRow &row)
{
    const std::int64_t number = numberOf(value).value_or(defaultNumber(row));
    return number >= -1 && number <= 2 ? static_cast<int>(number) : -1;
}

const SettingRow &NotifyOnFailureRow()
{
    static const SettingRow row {"NotifyOnFailure", Control::chkNotifyOnFailure,
                                 ControlKind::CheckBox, kRegDword, std::int32_t {1}};
    return row;
}

void LoadSettings(Registry &registry, SettingsControls &controls)
{
    const std::string key(kSettingsKey);
    std::array<const SettingRow *, 20> rows {};
    for (std::size_t i = 0; i < SettingsTable().size(); ++i)
        rows[i] = &SettingsTable()[i];
    rows.back() = &NotifyOnFailureRow();
    for (const SettingRow *loaded : rows) {
        const SettingRow &row = *loaded;
        const RegistryValue value = registry.QueryValue(
            kHkeyLocalMachine, key, std::string(row.valueName), row.defaultValue);
        switch (row.kind) {
        case ControlKind::TextBox:
            controls.SetText(row.control, LoadedText(value, row));
            break;
        case ControlKind::CheckBox:
            controls.SetCheckState(row.control, LoadedCheckState(value, row));
            break;
        case ControlKind::ComboBox:
            controls.SetListIndex(row.control, LoadedListIndex(value, row));
            break;
        }
    }
}

StoreResult SaveSettings(Registry &registry, SettingsControls &controls,
                         const std::function<void(Registry &)> &alongside)
{
    registry.BeginBatch();
    const std::string key(kSettingsKey);
    std::array<const SettingRow *, 20> rows {};
    std::copy(SettingsSaveOrder().begin(), SettingsSaveOrder().end(), rows.begin());
    rows.back() = &NotifyOnFailureRow();
    for (const SettingRow *saved : rows) {
        const SettingRow &row = *saved;
        RegistryValue value;
        switch (row.kind) {
        case ControlKind::TextBox:
            value = controls.Text(row.control);
            break;
        case ControlKind::CheckBox:
            value = std::int32_t {controls.CheckState(row.control)};
            break;
        case ControlKind::ComboBox:
            value = std::int32_t {controls.ListIndex(row.control)};
            break;
        }
        registry.SetKeyValue(kHkeyLocalMachine, key, std::string(row.valueName), value, row.type);
    }
    if (alongside)
        alongside(registry);
    return registry.CommitBatch();
}

} // namespace pellwick
