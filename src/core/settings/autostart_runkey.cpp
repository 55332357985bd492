#include "core/settings/autostart.h"

#include <utility>

namespace pellwick {

RunKeyAutostart::RunKeyAutostart(Registry &registry, std::string programFolder)
    : m_registry(registry)
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
    const std::string command = Command(m_programFolder);
    if (m_registry.QueryValue(kHkeyLocalMachine, kRunKey, kValueName, RegistryValue {})
        == RegistryValue {command})
        return;
    m_registry.SetKeyValue(kHkeyLocalMachine, kRunKey, kValueName, command, kRegSz);
}

void RunKeyAutostart::Unregister()
{
    m_registry.DeleteValue(kHkeyLocalMachine, kRunKey, kValueName);
}

} // namespace pellwick
