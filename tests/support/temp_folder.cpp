// SPDX-License-Identifier: MIT
#include "support/temp_folder.h"

#include <algorithm>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace pellwick::test {

// The settings store writes only into folders closed to others, whatever the umask.
TempFolder::TempFolder()
    : m_path(std::filesystem::temp_directory_path()
             / ("pellwick-" + std::to_string(std::random_device()()) + "-"
                + std::to_string(std::random_device()())))
{
    if (!std::filesystem::create_directory(m_path))
        throw std::runtime_error("temporary folder taken: " + m_path.string());
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all);
}

TempFolder::~TempFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::string ReadBytes(const std::filesystem::path &file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf(); // nothing where the file cannot be read
    return bytes.str();
}

void WriteBytes(const std::filesystem::path &file, const std::string &bytes)
{
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::vector<std::string> FolderNames(const std::filesystem::path &folder)
{
    std::vector<std::string> names;
    for (const auto &entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace pellwick::test
