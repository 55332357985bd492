// SPDX-License-Identifier: MIT
#include "platform/windows/schannel_session.h"

#include "core/text/text.h"
#include "platform/windows/wide_text.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <initializer_list>

namespace pellwick {

namespace {

constexpr DWORD kRequest = ISC_REQ_SEQUENCE_DETECT | ISC_REQ_REPLAY_DETECT | ISC_REQ_CONFIDENTIALITY
                           | ISC_REQ_ALLOCATE_MEMORY | ISC_REQ_STREAM | ISC_REQ_EXTENDED_ERROR
                           | ISC_REQ_MANUAL_CRED_VALIDATION;

std::string securityText(SECURITY_STATUS status)
{
    std::string text = SystemErrorText(static_cast<std::int32_t>(status));
    if (!text.empty())
        text[0] = AsciiLower(text[0]);
    return text;
}

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

SchannelSession::SchannelSession(const std::string &serverName)
    : m_serverName(Widen(serverName))
{
}

SchannelSession::~SchannelSession()
{
    if (m_haveContext)
        DeleteSecurityContext(&m_context);
    if (m_haveCredentials)
        FreeCredentialsHandle(&m_credentials);
}

SchannelSession::Step SchannelSession::fail(const std::string &what, SECURITY_STATUS status)
{
    m_problem = what + " (" + securityText(status) + ")";
    return Step::Failed;
}

SchannelSession::Step SchannelSession::Handshake(const std::string &arrived, std::string &out)
{
    m_input += arrived;
    if (m_haveCredentials)
        return step(out);
    SCHANNEL_CRED credentials {};
    credentials.dwVersion = SCHANNEL_CRED_VERSION;
    // Nothing older than TLS 1.2; the certificate is judged by the dialogue.
    credentials.grbitEnabledProtocols = SP_PROT_TLS1_2_CLIENT | SP_PROT_TLS1_3_CLIENT;
    credentials.dwFlags = SCH_CRED_MANUAL_CRED_VALIDATION | SCH_CRED_NO_DEFAULT_CREDS;
    TimeStamp expiry {};
    SECURITY_STATUS status = SEC_E_OK;
    // A system without TLS 1.3 in SChannel refuses to hear of it: then TLS 1.2 alone.
    for (const DWORD protocols :
         {credentials.grbitEnabledProtocols, DWORD {SP_PROT_TLS1_2_CLIENT}}) {
        credentials.grbitEnabledProtocols = protocols;
        status = AcquireCredentialsHandleW(nullptr, const_cast<wchar_t *>(UNISP_NAME_W),
                                           SECPKG_CRED_OUTBOUND, nullptr, &credentials, nullptr,
                                           nullptr, &m_credentials, &expiry);
        if (status == SEC_E_OK)
            break;
    }
    if (status != SEC_E_OK)
        return fail("no TLS credentials", status);
    m_haveCredentials = true;
    return step(out);
}

SchannelSession::Step SchannelSession::step(std::string &out)
{
    for (;;) {
        std::array<SecBuffer, 2> in {{
            {static_cast<ULONG>(m_input.size()), SECBUFFER_TOKEN, m_input.data()},
            {0, SECBUFFER_EMPTY, nullptr},
        }};
        SecBufferDesc inDesc {SECBUFFER_VERSION, static_cast<ULONG>(in.size()), in.data()};
        SecBuffer token {0, SECBUFFER_TOKEN, nullptr};
        SecBufferDesc outDesc {SECBUFFER_VERSION, 1, &token};
        ULONG attributes = 0;
        const bool first = !m_haveContext;
        const SECURITY_STATUS status = InitializeSecurityContextW(
            &m_credentials, first ? nullptr : &m_context, m_serverName.data(), kRequest, 0, 0,
            first ? nullptr : &inDesc, 0, &m_context, &outDesc, &attributes, nullptr);
        if (token.pvBuffer) {
            out.append(static_cast<const char *>(token.pvBuffer), token.cbBuffer);
            FreeContextBuffer(token.pvBuffer);
        }
        if (first && (status == SEC_E_OK || status == SEC_I_CONTINUE_NEEDED))
            m_haveContext = true;
        if (status == SEC_E_INCOMPLETE_MESSAGE)
            return Step::Continue; // the rest of the record is still on its way
        // A server that asks for a client certificate gets none, once.
        if (status == SEC_I_INCOMPLETE_CREDENTIALS && !m_certificateAsked) {
            m_certificateAsked = true;
            continue;
        }
        if (status != SEC_E_OK && status != SEC_I_CONTINUE_NEEDED)
            return fail("TLS handshake failed", status);
        if (!first) {
            // What the call did not use belongs to the next step.
            if (in[1].BufferType == SECBUFFER_EXTRA && in[1].cbBuffer > 0)
                m_input.erase(0, m_input.size() - in[1].cbBuffer);
            else
                m_input.clear();
        }
        if (status == SEC_E_OK) {
            const SECURITY_STATUS sizes
                = QueryContextAttributesW(&m_context, SECPKG_ATTR_STREAM_SIZES, &m_sizes);
            return sizes == SEC_E_OK ? Step::Done : fail("TLS record sizes unknown", sizes);
        }
        if (first || m_input.empty())
            return Step::Continue;
    }
}

bool SchannelSession::Encrypt(const std::string &plain, std::string &out)
{
    for (std::size_t at = 0; at < plain.size();) {
        const std::size_t length
            = std::min<std::size_t>(plain.size() - at, m_sizes.cbMaximumMessage);
        std::string record(m_sizes.cbHeader + length + m_sizes.cbTrailer, '\0');
        std::copy_n(plain.data() + at, length, record.data() + m_sizes.cbHeader);
        std::array<SecBuffer, 4> buffers {{
            {m_sizes.cbHeader, SECBUFFER_STREAM_HEADER, record.data()},
            {static_cast<ULONG>(length), SECBUFFER_DATA, record.data() + m_sizes.cbHeader},
            {m_sizes.cbTrailer, SECBUFFER_STREAM_TRAILER,
             record.data() + m_sizes.cbHeader + length},
            {0, SECBUFFER_EMPTY, nullptr},
        }};
        SecBufferDesc desc {SECBUFFER_VERSION, static_cast<ULONG>(buffers.size()), buffers.data()};
        const SECURITY_STATUS status = EncryptMessage(&m_context, 0, &desc, 0);
        if (status != SEC_E_OK) {
            fail("TLS encryption failed", status);
            return false;
        }
        out.append(record.data(), buffers[0].cbBuffer + buffers[1].cbBuffer + buffers[2].cbBuffer);
        at += length;
    }
    return true;
}

bool SchannelSession::Decrypt(const std::string &arrived, std::string &plain, std::string &out)
{
    m_input += arrived;
    while (!m_input.empty()) {
        std::array<SecBuffer, 4> buffers {{
            {static_cast<ULONG>(m_input.size()), SECBUFFER_DATA, m_input.data()},
            {0, SECBUFFER_EMPTY, nullptr},
            {0, SECBUFFER_EMPTY, nullptr},
            {0, SECBUFFER_EMPTY, nullptr},
        }};
        SecBufferDesc desc {SECBUFFER_VERSION, static_cast<ULONG>(buffers.size()), buffers.data()};
        const SECURITY_STATUS status = DecryptMessage(&m_context, &desc, 0, nullptr);
        if (status == SEC_E_INCOMPLETE_MESSAGE)
            return true;
        if (status == SEC_I_CONTEXT_EXPIRED) {
            m_problem = "closed by the server";
            return false;
        }
        if (status != SEC_E_OK && status != SEC_I_RENEGOTIATE) {
            fail("TLS decryption failed", status);
            return false;
        }
        // The buffers point into m_input: what they hold is copied out first.
        std::string extra;
        for (const SecBuffer &buffer : buffers) {
            if (buffer.BufferType == SECBUFFER_DATA)
                plain.append(static_cast<const char *>(buffer.pvBuffer), buffer.cbBuffer);
            else if (buffer.BufferType == SECBUFFER_EXTRA)
                extra.assign(static_cast<const char *>(buffer.pvBuffer), buffer.cbBuffer);
        }
        m_input = std::move(extra);
        // A message of the handshake after its end (a TLS 1.3 session ticket).
        if (status == SEC_I_RENEGOTIATE && step(out) == Step::Failed)
            return false;
    }
    return true;
}

TlsPeer SchannelSession::Peer() const
{
    PCCERT_CONTEXT certificate = nullptr;
    auto *context = const_cast<CtxtHandle *>(&m_context);
    if (QueryContextAttributesW(context, SECPKG_ATTR_REMOTE_CERT_CONTEXT, &certificate) != SEC_E_OK
        || !certificate)
        return {{}, false, "no certificate"};
    TlsPeer peer;
    std::array<BYTE, 32> hash {};
    DWORD size = static_cast<DWORD>(hash.size());
    if (CryptHashCertificate2(L"SHA256", 0, nullptr, certificate->pbCertEncoded,
                              certificate->cbCertEncoded, hash.data(), &size))
        peer.fingerprint = hexPairs(hash.data(), size);
    peer.problem = verify(certificate, m_serverName);
    peer.verified = peer.problem.empty() && !peer.fingerprint.empty();
    CertFreeCertificateContext(certificate);
    return peer;
}

} // namespace pellwick
