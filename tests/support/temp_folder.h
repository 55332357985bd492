// SPDX-License-Identifier: MIT
#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace pellwick::test {

// A fresh folder under the system's temporary folder, removed with everything
// in it when the object goes. Closed to others whatever the umask, as the
// settings store writes only into such folders.
class TempFolder
{
public:
    TempFolder()
        : m_path(std::filesystem::temp_directory_path()
                 / ("pellwick-" + std::to_string(std::random_device()()) + "-"
                    + std::to_string(std::random_device()())))
    {
        if (!std::filesystem::create_directory(m_path))
            throw std::runtime_error("temporary folder taken: " + m_path.string());
        std::filesystem::permissions(m_path, std::filesystem::perms::owner_all);
    }
    ~TempFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    TempFolder(const TempFolder &) = delete;
    TempFolder &operator=(const TempFolder &) = delete;

    const std::filesystem::path &path() const { return m_path; }
    std::filesystem::path operator/(const std::string &name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};

// Nothing where the file cannot be read.
inline std::string ReadBytes(const std::filesystem::path &file)
{
    std::ostringstream bytes;
    bytes << std::ifstream(file, std::ios::binary).rdbuf();
    return bytes.str();
}

inline void WriteBytes(const std::filesystem::path &file, const std::string &bytes)
{
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

inline std::vector<std::string> FolderNames(const std::filesystem::path &folder)
{
    std::vector<std::string> names;
    for (const auto &entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace pellwick::test
