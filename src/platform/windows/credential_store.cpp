// SPDX-License-Identifier: MIT
#include "platform/platform.h"

#include "platform/windows/wide_text.h"
#include "platform/windows/windows_api.h"

#include <wincred.h>

namespace pellwick {

namespace {

// One generic credential per user and server.
std::wstring targetName(const std::string &server, const std::string &user)
{
    return Widen("Pellwick SMTP " + user + "@" + server);
}

std::string failure(const char *call)
{
    return std::string("Credential Manager: ") + call + " failed with error "
           + std::to_string(GetLastError());
}

class CredentialStore : public PasswordStore
{
public:
    PasswordLookup Lookup(const std::string &server, const std::string &user) override
    {
        PCREDENTIALW credential = nullptr;
        if (!CredReadW(targetName(server, user).c_str(), CRED_TYPE_GENERIC, 0, &credential)) {
            if (GetLastError() == ERROR_NOT_FOUND)
                return {std::nullopt, {}};
            return {std::nullopt, failure("CredReadW")};
        }
        PasswordLookup result {
            std::string(reinterpret_cast<const char *>(credential->CredentialBlob),
                        credential->CredentialBlobSize),
            {}};
        SecureZeroMemory(credential->CredentialBlob, credential->CredentialBlobSize);
        CredFree(credential);
        return result;
    }

    std::string Store(const std::string &server, const std::string &user,
                      const std::string &password) override
    {
        std::wstring target = targetName(server, user);
        std::wstring userName = Widen(user);
        std::string blob = password; // the password's UTF-8 bytes
        CREDENTIALW credential {};
        credential.Type = CRED_TYPE_GENERIC;
        credential.TargetName = target.data();
        credential.UserName = userName.data();
        credential.CredentialBlobSize = static_cast<DWORD>(blob.size());
        credential.CredentialBlob = reinterpret_cast<LPBYTE>(blob.data());
        credential.Persist = CRED_PERSIST_LOCAL_MACHINE;
        const bool written = CredWriteW(&credential, 0);
        SecureZeroMemory(blob.data(), blob.size());
        return written ? std::string() : failure("CredWriteW");
    }
};

} // namespace

std::unique_ptr<PasswordStore> MakePasswordStore()
{
    return std::make_unique<CredentialStore>();
}

} // namespace pellwick
