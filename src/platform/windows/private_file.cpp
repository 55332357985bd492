// SPDX-License-Identifier: MIT
#include "platform/platform.h"

#include "platform/windows/wide_text.h"
#include "platform/windows/windows_api.h"

#include <aclapi.h>

#include <memory>
#include <vector>

namespace pellwick {

namespace {

constexpr LONGLONG kMaxSize = 64 * 1024;
// Rights that let someone read the file or change who may.
constexpr ACCESS_MASK kRevealing = FILE_READ_DATA | FILE_WRITE_DATA | FILE_APPEND_DATA
                                   | GENERIC_READ | GENERIC_WRITE | GENERIC_ALL | WRITE_DAC
                                   | WRITE_OWNER;

using Handle = std::unique_ptr<void, decltype(&CloseHandle)>;

PrivateFile unreadable(const char *call)
{
    return {PrivateFile::Status::Unreadable,
            {},
            std::string(call) + " failed with error " + std::to_string(GetLastError())};
}

// The SID of the user running the program, in `buffer`.
PSID currentUser(std::vector<BYTE> &buffer)
{
    HANDLE raw = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw))
        return nullptr;
    const Handle token(raw, &CloseHandle);
    DWORD size = 0;
    GetTokenInformation(raw, TokenUser, nullptr, 0, &size);
    buffer.resize(size);
    if (!GetTokenInformation(raw, TokenUser, buffer.data(), size, &size))
        return nullptr;
    return reinterpret_cast<TOKEN_USER *>(buffer.data())->User.Sid;
}

// Whether anyone but the user, the system and the administrators may read or
// change the file.
bool openToOthers(PACL dacl, PSID user)
{
    if (!dacl)
        return true; // no list at all lets everyone in
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        void *entry = nullptr;
        if (!GetAce(dacl, i, &entry))
            return true;
        const auto *header = static_cast<ACE_HEADER *>(entry);
        if (header->AceType != ACCESS_ALLOWED_ACE_TYPE)
            continue;
        const auto *allowed = static_cast<ACCESS_ALLOWED_ACE *>(entry);
        PSID sid = const_cast<DWORD *>(&allowed->SidStart);
        if (EqualSid(sid, user) || IsWellKnownSid(sid, WinLocalSystemSid)
            || IsWellKnownSid(sid, WinBuiltinAdministratorsSid))
            continue;
        if (allowed->Mask & kRevealing)
            return true;
    }
    return false;
}

} // namespace

PrivateFile ReadPrivateFile(const std::string &path)
{
    // The checks are made on the file that was opened, not on the name.
    HANDLE opened = CreateFileW(Widen(path).c_str(), GENERIC_READ | READ_CONTROL, FILE_SHARE_READ,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (opened == INVALID_HANDLE_VALUE)
        return unreadable("CreateFileW");
    const Handle file(opened, &CloseHandle);
    if (GetFileType(file.get()) != FILE_TYPE_DISK)
        return {PrivateFile::Status::Unreadable, {}, "not a regular file"};

    PSID owner = nullptr;
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR raw = nullptr;
    if (GetSecurityInfo(file.get(), SE_FILE_OBJECT,
                        OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &owner, nullptr,
                        &dacl, nullptr, &raw)
        != ERROR_SUCCESS)
        return unreadable("GetSecurityInfo");
    const std::unique_ptr<void, decltype(&LocalFree)> descriptor(raw, &LocalFree);
    std::vector<BYTE> userBuffer;
    PSID user = currentUser(userBuffer);
    if (!user)
        return unreadable("GetTokenInformation");
    if (!owner || !EqualSid(owner, user))
        return {PrivateFile::Status::NotOwned, {}, {}};
    if (openToOthers(dacl, user))
        return {PrivateFile::Status::OpenToOthers, {}, {}};

    LARGE_INTEGER size {};
    if (!GetFileSizeEx(file.get(), &size))
        return unreadable("GetFileSizeEx");
    if (size.QuadPart > kMaxSize)
        return {PrivateFile::Status::TooLarge, {}, {}};
    std::string content(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD got = 0;
    if (!content.empty()
        && !ReadFile(file.get(), content.data(), static_cast<DWORD>(content.size()), &got, nullptr))
        return unreadable("ReadFile");
    content.resize(got);
    return {PrivateFile::Status::Read, std::move(content), {}};
}

} // namespace pellwick
