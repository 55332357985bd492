#include "platform/windows/server_certificate.h"

#include "platform/windows/system_error_text.h"
#include "platform/windows/wide_text.h"

#include <array>
#include <cstdio>

namespace pellwick {

namespace {

// "AB:CD:...", as the dialogue and the pin write a fingerprint.
std::string hexPairs(const BYTE *bytes, DWORD count)
{
    std::string text;
    for (DWORD i = 0; i < count; ++i) {
        char pair[4];
        std::snprintf(pair, sizeof pair, i + 1 < count ? "%02X:" : "%02X", bytes[i]);
        text += pair;
    }
    return text;
}

// Why the system does not trust the certificate for this server, in words.
std::string policyProblem(DWORD error, const std::wstring &serverName)
{
    switch (error) {
    case static_cast<DWORD>(CERT_E_UNTRUSTEDROOT):
    case static_cast<DWORD>(CERT_E_CHAINING):
        return "not issued by an authority the system trusts";
    case static_cast<DWORD>(CERT_E_CN_NO_MATCH):
        return "issued for another name than " + Narrow(serverName);
    case static_cast<DWORD>(CERT_E_EXPIRED):
        return "expired or not yet valid";
    case static_cast<DWORD>(CERT_E_WRONG_USAGE):
        return "not meant for a server";
    case static_cast<DWORD>(CRYPT_E_REVOKED):
        return "revoked";
    default:
        return "not trusted by the system (" + SystemErrorText(static_cast<std::int32_t>(error))
               + ")";
    }
}

// Checks the chain against the system's authorities and the server's name.
std::string verify(PCCERT_CONTEXT certificate, const std::wstring &serverName)
{
    std::array<LPSTR, 1> usages {const_cast<LPSTR>(szOID_PKIX_KP_SERVER_AUTH)};
    CERT_CHAIN_PARA chainPara {};
    chainPara.cbSize = sizeof chainPara;
    chainPara.RequestedUsage.dwType = USAGE_MATCH_TYPE_OR;
    chainPara.RequestedUsage.Usage.cUsageIdentifier = static_cast<DWORD>(usages.size());
    chainPara.RequestedUsage.Usage.rgpszUsageIdentifier = usages.data();
    PCCERT_CHAIN_CONTEXT chain = nullptr;
    if (!CertGetCertificateChain(nullptr, certificate, nullptr, certificate->hCertStore, &chainPara,
                                 0, nullptr, &chain))
        return "no chain could be built ("
               + SystemErrorText(static_cast<std::int32_t>(GetLastError())) + ")";
    HTTPSPolicyCallbackData server {};
    server.cbStruct = sizeof server;
    server.dwAuthType = AUTHTYPE_SERVER;
    std::wstring name = serverName;
    server.pwszServerName = name.data();
    CERT_CHAIN_POLICY_PARA policy {};
    policy.cbSize = sizeof policy;
    policy.pvExtraPolicyPara = &server;
    CERT_CHAIN_POLICY_STATUS status {};
    status.cbSize = sizeof status;
    const BOOL checked
        = CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain, &policy, &status);
    CertFreeCertificateChain(chain);
    if (!checked)
        return "the check could not run";
    return status.dwError == 0 ? std::string() : policyProblem(status.dwError, serverName);
}

} // namespace

TlsPeer CheckServerCertificate(PCCERT_CONTEXT certificate, const std::wstring &serverName)
{
    TlsPeer peer;
    std::array<BYTE, 32> hash {};
    DWORD size = static_cast<DWORD>(hash.size());
    if (CryptHashCertificate2(L"SHA256", 0, nullptr, certificate->pbCertEncoded,
                              certificate->cbCertEncoded, hash.data(), &size))
        peer.fingerprint = hexPairs(hash.data(), size);
    peer.problem = verify(certificate, serverName);
    peer.verified = peer.problem.empty() && !peer.fingerprint.empty();
    return peer;
}

} // namespace pellwick
