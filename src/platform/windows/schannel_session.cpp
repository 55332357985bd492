#include "platform/windows/schannel_session.h"

#include "platform/windows/server_certificate.h"

#include "core/text/text.h"
#include "platform/windows/system_error_text.h"
#include "platform/windows/wide_text.h"

#include <algorithm>
#include <array>

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

SchannelSession::Step SchannelSession::Start(std::string &out)
{
    SCHANNEL_CRED credentials {};
    credentials.dwVersion = SCHANNEL_CRED_VERSION;
    // Nothing older than TLS 1.2; the certificate is judged by the dialogue.
    credentials.grbitEnabledProtocols = SP_PROT_TLS1_2_CLIENT | SP_PROT_TLS1_3_CLIENT;
    credentials.dwFlags = SCH_CRED_MANUAL_CRED_VALIDATION | SCH_CRED_NO_DEFAULT_CREDS;
    TimeStamp expiry {};
    SECURITY_STATUS status = AcquireCredentialsHandleW(nullptr, const_cast<wchar_t *>(UNISP_NAME_W),
                                                       SECPKG_CRED_OUTBOUND, nullptr, &credentials,
                                                       nullptr, nullptr, &m_credentials, &expiry);
    if (status != SEC_E_OK) {
        // A system without TLS 1.3 in SChannel refuses to hear of it.
        credentials.grbitEnabledProtocols = SP_PROT_TLS1_2_CLIENT;
        status = AcquireCredentialsHandleW(nullptr, const_cast<wchar_t *>(UNISP_NAME_W),
                                           SECPKG_CRED_OUTBOUND, nullptr, &credentials, nullptr,
                                           nullptr, &m_credentials, &expiry);
    }
    if (status != SEC_E_OK)
        return fail("no TLS credentials", status);
    m_haveCredentials = true;
    return step(out);
}

SchannelSession::Step SchannelSession::Handshake(const std::string &arrived, std::string &out)
{
    m_input += arrived;
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
    TlsPeer peer = CheckServerCertificate(certificate, m_serverName);
    CertFreeCertificateContext(certificate);
    return peer;
}

} // namespace pellwick
