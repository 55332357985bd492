#pragma once

#include "core/form/controls.h"
#include "core/settings/registry.h"
#include "core/settings/settings_table.h"

#include <functional>
#include <string>

namespace pellwick {

// The window's controls as load and save see them.
class SettingsControls
{
public:
    virtual ~SettingsControls() = default;

    virtual std::string Text(Control control) const = 0;
    // vbUnchecked, vbChecked or vbGrayed.
    virtual int CheckState(Control control) const = 0;
    // The selected list entry, -1 for none.
    virtual int ListIndex(Control control) const = 0;

    virtual void SetText(Control control, const std::string &text) = 0;
    // Called for every check-box row, also when the state does not change.
    virtual void SetCheckState(Control control, int state) = 0;
    // Always -1 to 2.
    virtual void SetListIndex(Control control, int index) = 0;
};

// Fills every control from the registry, one QueryValue per row in table order
// (then NotifyOnFailureRow), each falling back to the row's default. Writes
// nothing.
void LoadSettings(Registry &registry, SettingsControls &controls);

// Writes every control to the registry, one SetKeyValue per row in save order,
// with the row's type, all in one batch: the store takes the whole record or,
// when the write fails, keeps the one it had. A value the layer refuses is lost
// alone. The result tells whether the record reached the store; its message is
// the line for the user (the hive file has already put it on standard error).
// NotifyOnFailureRow follows the nineteen, in the same batch, and then whatever
// `alongside` writes, so that a changed record is one write of the store.
StoreResult SaveSettings(Registry &registry, SettingsControls &controls,
                         const std::function<void(Registry &)> &alongside = {});

// "NotifyOnFailure" (REG_DWORD, default 1), loaded and saved after the nineteen
// in the same key: whether a failed mail is told in a balloon.
const SettingRow &NotifyOnFailureRow();

// What a loaded value becomes in a control of the row's kind. A value the control
// cannot take gives the row's default (never an error):
// text box: a text as it is, a number as its decimal digits;
std::string LoadedText(const RegistryValue &value, const SettingRow &row);
// check-box: 0 and 2 (grey) as they are, any other number, or text of digits,
// 1;
int LoadedCheckState(const RegistryValue &value, const SettingRow &row);
// list: a number, or a text of digits, from -1 to 2 as it is; other numbers -1.
int LoadedListIndex(const RegistryValue &value, const SettingRow &row);

} // namespace pellwick
