// SPDX-License-Identifier: MIT
#pragma once

#include "core/settings/store.h"

#include <memory>
#include <string>

namespace pellwick {

// The entry that starts the program with "/s" at every log-in.
class Autostart
{
public:
    virtual ~Autostart() = default;
    // Writes the entry (again); failures are silent.
    virtual void Register() = 0;
    // Removes the entry; a missing one is a silent no-op.
    virtual void Unregister() = 0;
};

// No entry at all, for a run that must leave the user's entry as it is.
class NoAutostart final : public Autostart
{
public:
    void Register() override { }
    void Unregister() override { }
};

// Windows: the value "Pellwick" in a store opened on the machine's Run key.
class RunKeyAutostart : public Autostart
{
public:
    static constexpr const char *kRunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
    static constexpr const char *kValueName = "Pellwick";

    RunKeyAutostart(std::unique_ptr<SettingsStore> runKey, std::string programFolder);

    // The program in `programFolder` with "/s", quoted when its path holds a blank:
    // Windows would otherwise start a program named by the part before the blank.
    static std::string Command(const std::string &programFolder);

    void Register() override;
    void Unregister() override;

private:
    std::unique_ptr<SettingsStore> m_runKey;
    std::string m_programFolder;
};

} // namespace pellwick
