// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace pellwick::test {

// A fresh folder under the system's temporary folder, removed with everything
// in it when the object goes.
class TempFolder
{
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder &) = delete;
    TempFolder &operator=(const TempFolder &) = delete;

    const std::filesystem::path &path() const { return m_path; }
    std::filesystem::path operator/(const std::string &name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};

std::string ReadBytes(const std::filesystem::path &file);
void WriteBytes(const std::filesystem::path &file, const std::string &bytes);
// The names in a folder, sorted.
std::vector<std::string> FolderNames(const std::filesystem::path &folder);

} // namespace pellwick::test
