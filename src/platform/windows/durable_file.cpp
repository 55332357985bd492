#include "platform/durable_file.h"

#include "core/settings/registry_types.h"

#include "platform/windows/windows_api.h"

#include <algorithm>
#include <string>

namespace pellwick {

namespace {

std::int32_t lastStatus()
{
    const DWORD error = GetLastError();
    // A missing folder on the way counts as a missing file, as on the registry.
    if (error == ERROR_PATH_NOT_FOUND)
        return kErrorFileNotFound;
    return error == 0 ? kErrorWriteFault : static_cast<std::int32_t>(error);
}

bool writeAll(HANDLE file, std::string_view bytes)
{
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), chunk, &written, nullptr))
            return false;
        bytes.remove_prefix(written);
    }
    return true;
}

} // namespace

std::int32_t ReadWholeFile(const std::filesystem::path &file, std::string &content)
{
    content.clear();
    const HANDLE handle = CreateFileW(file.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return lastStatus();
    char buffer[16384];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(handle, buffer, sizeof buffer, &got, nullptr)) {
            const std::int32_t status = lastStatus();
            CloseHandle(handle);
            return status;
        }
        if (got == 0)
            break;
        content.append(buffer, got);
    }
    CloseHandle(handle);
    return kErrorSuccess;
}

std::int32_t CreatePrivateFolder(const std::filesystem::path &folder)
{
    // A new folder under the user's profile inherits the profile's private access.
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    return error ? static_cast<std::int32_t>(error.value()) : kErrorSuccess;
}

std::int32_t ReplaceFileDurably(const std::filesystem::path &target, std::string_view content,
                                std::filesystem::perms, const BeforeReplace &beforeReplace)
{
    std::filesystem::path temporary;
    HANDLE handle = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 100 && handle == INVALID_HANDLE_VALUE; ++attempt) {
        temporary = target;
        temporary
            += L".tmp" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(attempt);
        handle = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS)
            return lastStatus();
    }
    if (handle == INVALID_HANDLE_VALUE)
        return kErrorWriteFault;

    const auto fail = [&temporary](std::int32_t status) {
        DeleteFileW(temporary.c_str());
        return status;
    };
    if (!writeAll(handle, content) || !FlushFileBuffers(handle)) {
        const std::int32_t status = lastStatus();
        CloseHandle(handle);
        return fail(status);
    }
    CloseHandle(handle);
    if (beforeReplace && !beforeReplace(temporary))
        return fail(kErrorWriteFault);
    // Write-through makes the rename itself durable before the call returns.
    if (!MoveFileExW(temporary.c_str(), target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return fail(lastStatus());
    return kErrorSuccess;
}

FileLock::FileLock(const std::filesystem::path &lockFile)
    : m_handle(-1)
    , m_status(kErrorSuccess)
{
    const HANDLE handle = CreateFileW(lockFile.c_str(), GENERIC_READ | GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        m_status = lastStatus();
        return;
    }
    OVERLAPPED whole {};
    if (!LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole)) {
        m_status = lastStatus();
        CloseHandle(handle);
        return;
    }
    m_handle = reinterpret_cast<std::intptr_t>(handle);
}

FileLock::~FileLock()
{
    if (m_handle == -1)
        return;
    const HANDLE handle = reinterpret_cast<HANDLE>(m_handle);
    OVERLAPPED whole {};
    UnlockFileEx(handle, 0, MAXDWORD, MAXDWORD, &whole);
    CloseHandle(handle);
}

} // namespace pellwick
