#include "platform/local_ip.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

using pellwick::LocalIP;

namespace {

bool isDottedIPv4(const std::string &text)
{
    in_addr address {};
    char back[INET_ADDRSTRLEN] = {};
    return inet_pton(AF_INET, text.c_str(), &address) == 1
           && inet_ntop(AF_INET, &address, back, sizeof back) && text == back;
}

int run(const std::string &command)
{
    return std::system(command.c_str());
}

// A network namespace of its own, deleted again whatever the test's outcome.
class NetworkNamespace
{
public:
    NetworkNamespace()
        : m_name("pellwick-ip-" + std::to_string(getpid()))
    {
        m_made = run("ip netns add " + m_name + " 2>/dev/null") == 0;
    }
    ~NetworkNamespace()
    {
        if (m_made)
            run("ip netns delete " + m_name);
    }
    NetworkNamespace(const NetworkNamespace &) = delete;
    NetworkNamespace &operator=(const NetworkNamespace &) = delete;

    bool made() const { return m_made; }

    // Runs "ip <arguments>" inside the namespace.
    bool ip(const std::string &arguments) const
    {
        return run("ip -n " + m_name + " " + arguments) == 0;
    }

    // A link that is up and has a carrier: a dummy one, or a veth pair where the
    // kernel has no dummy driver.
    bool addLink(const std::string &link) const
    {
        if (ip("link add " + link + " type dummy 2>/dev/null"))
            return ip("link set " + link + " up");
        return ip("link add " + link + " type veth peer name " + link + "p")
               && ip("link set " + link + "p up") && ip("link set " + link + " up");
    }

    // LocalIP as a process inside the namespace sees it.
    std::string localIP() const
    {
        int fds[2];
        if (pipe(fds) != 0)
            return "pipe failed";
        const pid_t child = fork();
        if (child == 0) {
            close(fds[0]);
            const int ns = open(("/run/netns/" + m_name).c_str(), O_RDONLY | O_CLOEXEC);
            const std::string ip
                = ns >= 0 && setns(ns, CLONE_NEWNET) == 0 ? LocalIP() : "setns failed";
            const bool written
                = write(fds[1], ip.data(), ip.size()) == static_cast<ssize_t>(ip.size());
            _exit(written ? 0 : 1);
        }
        close(fds[1]);
        std::string text;
        char buffer[64];
        ssize_t got = 0;
        while ((got = read(fds[0], buffer, sizeof buffer)) > 0)
            text.append(buffer, static_cast<std::size_t>(got));
        close(fds[0]);
        int status = 0;
        waitpid(child, &status, 0);
        return text;
    }

private:
    std::string m_name;
    bool m_made = false;
};

} // namespace

TEST(LocalIP, IsADottedIPv4AddressHere)
{
    const std::string ip = LocalIP();
    EXPECT_TRUE(isDottedIPv4(ip)) << ip;
    EXPECT_EQ(LocalIP(), ip);
}

TEST(LocalIP, FollowsTheDefaultRouteInsideANetworkNamespace)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "making a network namespace needs root";
    const NetworkNamespace ns;
    if (!ns.made())
        GTEST_SKIP() << "this machine does not allow a new network namespace";

    ASSERT_TRUE(ns.ip("link set lo up"));
    EXPECT_EQ(ns.localIP(), "127.0.0.1");

    // No default route: the first address of an interface that is up.
    ASSERT_TRUE(ns.addLink("pw0"));
    ASSERT_TRUE(ns.ip("addr add 10.77.0.2/24 dev pw0"));
    EXPECT_EQ(ns.localIP(), "10.77.0.2");

    // The interface of the default route wins, though it comes later.
    ASSERT_TRUE(ns.addLink("pw1"));
    ASSERT_TRUE(ns.ip("addr add 10.88.0.2/24 dev pw1"));
    ASSERT_TRUE(ns.ip("route add default via 10.88.0.1 dev pw1"));
    EXPECT_EQ(ns.localIP(), "10.88.0.2");

    // A new address is seen at the next reading.
    ASSERT_TRUE(ns.ip("addr del 10.88.0.2/24 dev pw1"));
    ASSERT_TRUE(ns.ip("addr add 10.88.0.9/24 dev pw1"));
    ASSERT_TRUE(ns.ip("route add default via 10.88.0.1 dev pw1"));
    EXPECT_EQ(ns.localIP(), "10.88.0.9");

    // Only down interfaces left: the loopback address.
    ASSERT_TRUE(ns.ip("link set pw0 down"));
    ASSERT_TRUE(ns.ip("link set pw1 down"));
    EXPECT_EQ(ns.localIP(), "127.0.0.1");
}
