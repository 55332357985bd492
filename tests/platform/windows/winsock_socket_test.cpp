// SPDX-License-Identifier: MIT
// The Winsock socket, connected by name: the SMTP dialogue over SChannel against a real
// server (aiosmtpd, a Linux program Wine runs as it is) with a test authority's certificates.
// The stream port, over loopback against its own listener.
#include "platform/windows/winsock_socket.h"
#include "platform/windows/winsock_streams.h"

#include "core/mail/smtp.h"
#include "support/fake_mail.h"
#include "support/temp_folder.h"
#include "support/tls_cases.h"

#include <wincrypt.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

using namespace pellwick;

namespace {

// Runs the thread's messages until `done` holds, offering each to `take` first;
// the limit only ends a broken run.
template<typename Done>
bool pumpUntil(Done done, const std::function<bool(const MSG &)> &take = {})
{
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    MSG m {};
    while (!done() && std::chrono::steady_clock::now() < limit) {
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE))
            if (!take || !take(m))
                DispatchMessageW(&m);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
    return done();
}

// Wine gives a Linux program it starts no process handle and none of our pipes:
// it is watched through the files it writes.
bool runLinux(const std::string &command)
{
    std::wstring line = L"sh -c \"" + std::wstring(command.begin(), command.end()) + L"\"";
    STARTUPINFOW start {};
    start.cb = sizeof start;
    PROCESS_INFORMATION started {};
    return CreateProcessW(L"Z:\\bin\\sh", line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &start, &started);
}

// A folder of the test's own, by its Windows and its Linux name.
struct ScratchFolder : test::TempFolder
{
    ScratchFolder()
    {
        using ToUnix = char *(CDECL *)(const wchar_t *);
        const auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void *>(
            GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
        if (char *unix = toUnix ? toUnix(path().c_str()) : nullptr) {
            unixPath = unix;
            HeapFree(GetProcessHeap(), 0, unix);
        }
    }

    std::string Read(const std::string &file) const { return test::ReadBytes(*this / file); }

    std::string unixPath;
};

// Debian's aiosmtpd on a free loopback port with the certificate and login,
// for as long as this object lives (a minute at most, should the test die).
struct TlsSink
{
    TlsSink(const ScratchFolder &certs, const std::string &stem, const std::string &tls,
            const std::string &login)
    {
        const std::string &dir = mail.unixPath;
        runLinux("echo $$ >" + dir
                 + "/pid; exec timeout 60 /usr/bin/python3 " PELLWICK_SMTP_SINK_SCRIPT
                   " --until-killed --dir "
                 + dir + " --tls " + tls + " --cert " + certs.unixPath + "/" + stem + ".pem --key "
                 + certs.unixPath + "/" + stem + ".key --login " + login + " >" + dir + "/port");
        pumpUntil([this] { return mail.Read("port").ends_with("\n"); });
        port = static_cast<std::uint16_t>(std::atoi(mail.Read("port").c_str()));
    }
    ~TlsSink() { runLinux("kill " + std::to_string(std::atoi(mail.Read("pid").c_str()))); }

    ScratchFolder mail;
    std::uint16_t port = 0;
};

// The test authority, trusted by this user's Windows while the object lives.
struct TrustedAuthority
{
    explicit TrustedAuthority(const std::string &pem)
    {
        std::vector<BYTE> der(pem.size()); // the binary form is the shorter
        auto size = static_cast<DWORD>(der.size());
        CryptStringToBinaryA(pem.c_str(), 0, CRYPT_STRING_BASE64HEADER, der.data(), &size, nullptr,
                             nullptr);
        store = CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_CURRENT_USER,
                              L"Root");
        CertAddEncodedCertificateToStore(store, X509_ASN_ENCODING, der.data(), size,
                                         CERT_STORE_ADD_REPLACE_EXISTING, &added);
    }
    ~TrustedAuthority()
    {
        if (added)
            CertDeleteCertificateFromStore(added);
        CertCloseStore(store, 0);
    }

    HCERTSTORE store = nullptr;
    PCCERT_CONTEXT added = nullptr;
};

} // namespace

TEST(WinsockSocket, SmtpOverSchannelDeliversOnlyToATrustedServerAndLogsIn)
{
    ScratchFolder certs;
    ASSERT_FALSE(certs.unixPath.empty());
    runLinux("/usr/bin/python3 " PELLWICK_TEST_AUTHORITY_SCRIPT " " + certs.unixPath);
    ASSERT_TRUE(pumpUntil([&] { return certs.Read("self.sha256").size() == 95; }));
    const std::string pin = certs.Read("self.sha256");
    const std::string password = "pa55-word"; // goes through a shell's command line
    const TrustedAuthority authority(certs.Read("ca.pem"));
    for (const test::TlsCase &c : test::kTlsCases) {
        SCOPED_TRACE(c.name);
        TlsSink sink(certs, c.certStem, c.tls, "alice:" + password);
        ASSERT_GT(sink.port, 0);

        const HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                            nullptr, nullptr);
        test::RecordingSmtpListener host;
        test::ManualDeadline deadline; // never passes: the pump's bound ends a broken run
        Smtp *dialogue = nullptr;
        WinsockSocket socket(window,
                             [&](std::int32_t count) { dialogue->HandleServerReply(count); });
        Smtp smtp(socket, host, deadline, test::FixedEnvironment());
        dialogue = &smtp;
        // By name: the server's certificate names "localhost" and 127.0.0.1, and
        // Wine's check of a name matches no address.
        smtp.ConnectToServer("localhost", "bob@example.org", "Your New IP Address is 10.9.8.7",
                             "alice@example.com", "IP", "Pellwick v1.0",
                             TlsSubmission(c, sink.port, password, pin));
        ASSERT_TRUE(pumpUntil(
            [&] { return host.dialoguesEnded > 0; },
            [&](const MSG &m) { return socket.HandleMessage(m.message, m.wParam, m.lParam); }))
            << host.log;
        ExpectTlsOutcome(c, host, sink.mail.Read("1.data"), password, pin);
        DestroyWindow(window);
    }
}

namespace {

// Answers every request once its head has come, past the cap; records every exchange's end.
struct StreamRecorder : StreamEvents
{
    void ExchangeEnded(const std::string &response, Ipv4 local) override
    {
        ended.emplace_back(response, local);
    }
    std::optional<std::string> RequestArrived(Ipv4, const std::string &bytes) override
    {
        return bytes.ends_with("\r\n\r\n") ? std::optional(reply) : std::nullopt;
    }

    const std::string reply = std::string(kMaxStreamBytes + 5000, 'x');
    std::vector<std::pair<std::string, Ipv4>> ended;
};

} // namespace

// The ordinary exchange with the listener is the Wine run's behind the home router.
TEST(WinsockStreams, CapsTheResponseDropsTheOldestIdleConnectionAndReportsARefusal)
{
    constexpr Ipv4 loopback = 0x7f000001;
    const HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                        nullptr, nullptr);
    StreamRecorder events;
    WinsockStreams streams(window);
    streams.SetEvents(&events);
    const auto ended = [&](std::size_t count) {
        return pumpUntil(
            [&] { return events.ended.size() >= count; },
            [&](const MSG &m) { return streams.HandleMessage(m.message, m.wParam, m.lParam); });
    };
    const std::uint16_t port = streams.Listen();
    ASSERT_NE(port, 0);
    EXPECT_EQ(streams.Listen(), port);
    // Idle connections fill the listener: the oldest give way to newer ones.
    std::vector<SOCKET> idle(WinsockStreams::kMaxAccepted);
    for (SOCKET &s : idle) {
        s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        const sockaddr_in to = Ipv4Endpoint(loopback, port);
        connect(s, reinterpret_cast<const sockaddr *>(&to), sizeof to);
    }
    // The first exchange is dropped, unreported, by the second.
    streams.Exchange(loopback, port, "NOTIFY / HTTP/1.1\r\n");
    streams.Exchange(loopback, port, "NOTIFY / HTTP/1.1\r\nSID: 1\r\n\r\n");
    ASSERT_TRUE(ended(1));
    streams.Close(); // nobody listens now: the refusal ends empty
    streams.Exchange(loopback, port, "NOTIFY / HTTP/1.1\r\n\r\n");
    ASSERT_TRUE(ended(2));
    const decltype(events.ended) expected {{events.reply.substr(0, kMaxStreamBytes), loopback},
                                           {"", 0}};
    EXPECT_TRUE(events.ended == expected)
        << events.ended[0].first.size() << " bytes, then " << events.ended[1].first.size();
    for (const SOCKET s : idle)
        closesocket(s);
    DestroyWindow(window);
}
