// SPDX-License-Identifier: MIT
#include "platform/posix/login_program.h"

#include <unistd.h>

#include <sstream>
#include <system_error>

namespace pellwick {

std::string LoginProgram(const std::filesystem::path &programPath, const std::string &searchPath)
{
    const std::filesystem::path name = programPath.filename();
    std::istringstream folders(searchPath);
    std::string folder;
    while (std::getline(folders, folder, ':')) {
        // Empty and relative entries mean the folder a session happens to start in.
        if (!std::filesystem::path(folder).is_absolute())
            continue;
        const std::filesystem::path candidate = std::filesystem::path(folder) / name;
        std::error_code error;
        if (!std::filesystem::is_regular_file(candidate, error)
            || ::access(candidate.c_str(), X_OK) != 0)
            continue;
        // The first match is what a search by name would start.
        if (std::filesystem::equivalent(candidate, programPath, error))
            return name.string();
        break;
    }
    return programPath.string();
}

} // namespace pellwick
