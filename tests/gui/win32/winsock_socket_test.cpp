#include "gui/win32/winsock_socket.h"

#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <string>
#include <thread>

using namespace pellwick;

namespace {

// A peer on a loopback port of its own that greets, then keeps what it is sent
// until the connection ends.
class GreetingPeer
{
public:
    GreetingPeer()
    {
        WSADATA data {};
        WSAStartup(MAKEWORD(2, 2), &data);
        m_listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(m_listener, reinterpret_cast<const sockaddr *>(&address), sizeof address);
        int length = sizeof address;
        getsockname(m_listener, reinterpret_cast<sockaddr *>(&address), &length);
        port = ntohs(address.sin_port);
        listen(m_listener, 1);
        m_thread = std::thread([this] {
            const SOCKET client = accept(m_listener, nullptr, nullptr);
            send(client, "220 peer ready\r\n", 16, 0);
            char buffer[256];
            for (int got; (got = recv(client, buffer, sizeof buffer, 0)) > 0;) {
                const std::lock_guard lock(m_mutex);
                m_received.append(buffer, static_cast<std::size_t>(got));
            }
            closesocket(client);
        });
    }
    ~GreetingPeer()
    {
        closesocket(m_listener);
        m_thread.join();
        WSACleanup();
    }

    std::string Received()
    {
        const std::lock_guard lock(m_mutex);
        return m_received;
    }

    std::uint16_t port = 0;

private:
    SOCKET m_listener;
    std::mutex m_mutex;
    std::string m_received;
    std::thread m_thread;
};

// Runs the window's messages until `done` holds; the limit only ends a broken run.
template<typename Done>
bool pumpUntil(Done done)
{
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    MSG message {};
    while (!done() && std::chrono::steady_clock::now() < limit) {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
    return done();
}

struct SocketWindow
{
    SocketWindow()
    {
        window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                                 nullptr);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&proc));
    }
    ~SocketWindow() { DestroyWindow(window); }

    static LRESULT CALLBACK proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto *self = reinterpret_cast<SocketWindow *>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self && self->socket && self->socket->HandleMessage(message, wParam, lParam))
            return 0;
        return DefWindowProcW(window, message, wParam, lParam);
    }

    HWND window = nullptr;
    WinsockSocket *socket = nullptr;
};

} // namespace

TEST(WinsockSocket, ConnectsByNameReportsArrivalsAndSendsInOrder)
{
    GreetingPeer peer;
    SocketWindow host;
    std::string arrived;
    WinsockSocket socket(
        host.window,
        [&](std::int32_t count) {
            std::string data;
            socket.GetData(data, count);
            EXPECT_EQ(data.size(), static_cast<std::size_t>(count));
            arrived += data;
        },
        peer.port);
    host.socket = &socket;

    // The name is resolved on a thread of its own: Connect returns at once.
    socket.Connect("localhost", 25);
    ASSERT_TRUE(pumpUntil([&] { return arrived == "220 peer ready\r\n"; })) << arrived;
    socket.SendData("HELO here\r\n");
    socket.SendData("QUIT\r\n");
    EXPECT_TRUE(pumpUntil([&] { return peer.Received() == "HELO here\r\nQUIT\r\n"; }))
        << peer.Received();
    socket.Close();
}
