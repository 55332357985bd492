#include "platform/local_ip.h"

#include <gtest/gtest.h>

#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

using pellwick::LocalIP;

TEST(LocalIP, FollowsTheDefaultRouteInsideANetworkNamespace)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "making a network namespace needs root";
    // A link that is up with a carrier: a dummy one, or a veth pair where the
    // kernel has no dummy driver.
    const auto link = [](const std::string &name) {
        return "{ ip link add " + name + " type dummy 2>/dev/null || { ip link add " + name
               + " type veth peer name " + name + "p && ip link set " + name + "p up; }; } && "
               + "ip link set " + name + " up";
    };
    // Each step changes the namespace, then LocalIP is read there.
    const std::vector<std::pair<std::string, std::string>> steps {
        {"ip link set lo up", "127.0.0.1"},
        // No default route: the first address of an interface that is up.
        {link("pw0") + " && ip addr add 10.77.0.2/24 dev pw0", "10.77.0.2"},
        // The interface of the default route wins, though it comes later.
        {link("pw1")
             + " && ip addr add 10.88.0.2/24 dev pw1 && ip route add default via "
               "10.88.0.1 dev pw1",
         "10.88.0.2"},
        // Only down interfaces left: the loopback address.
        {"ip link set pw0 down && ip link set pw1 down", "127.0.0.1"},
    };
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    // The namespace is the child's own and goes with it, whatever the outcome.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (unshare(CLONE_NEWNET) != 0)
            _exit(2);
        std::string seen;
        for (const auto &step : steps)
            seen += (std::system(step.first.c_str()) == 0 ? LocalIP() : "failed") + " ";
        _exit(write(fds[1], seen.data(), seen.size()) == static_cast<ssize_t>(seen.size()) ? 0 : 1);
    }
    close(fds[1]);
    std::string seen;
    char buffer[256];
    for (ssize_t got = 0; (got = read(fds[0], buffer, sizeof buffer)) > 0;)
        seen.append(buffer, static_cast<std::size_t>(got));
    close(fds[0]);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 2)
        GTEST_SKIP() << "this machine does not allow a new network namespace";
    std::string expected;
    for (const auto &step : steps)
        expected += step.second + " ";
    EXPECT_EQ(seen, expected);
}
