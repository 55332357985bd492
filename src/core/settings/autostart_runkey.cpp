// SPDX-License-Identifier: MIT
#include "core/settings/autostart.h"
#include "core/settings/settings.h"

#include <utility>

namespace pellwick {

RunKeyAutostart::RunKeyAutostart(std::unique_ptr<SettingsStore> runKey, std::string programFolder)
    : m_runKey(std::move(runKey))
    , m_programFolder(std::move(programFolder))
{
}

std::string RunKeyAutostart::Command(const std::string &programFolder)
{
    std::string program = programFolder + "\\" + "Pellwick" + ".exe";
    if (program.find(' ') != std::string::npos)
        program = '"' + program + '"';
    return program + " /s";
}

void RunKeyAutostart::Register()
{
    // Every start registers; a log-in run finds its own entry and writes nothing.
    const StoredValue command = Stored(Command(m_programFolder));
    if (m_runKey->Read(kValueName) == command)
        return;
    m_runKey->Write(kValueName, command);
    m_runKey->Commit();
}

void RunKeyAutostart::Unregister()
{
    m_runKey->Write(kValueName, std::nullopt);
    m_runKey->Commit();
}

} // namespace pellwick
