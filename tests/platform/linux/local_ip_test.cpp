// SPDX-License-Identifier: MIT
#include "platform/platform.h"

#include <gtest/gtest.h>

#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

using pellwick::GlobalIPv6;
using pellwick::LocalIP;

TEST(LocalIP, BothFamiliesFollowTheirDefaultRouteInsideANetworkNamespace)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "making a network namespace needs root";
    // A link that is up with a carrier: one end of a veth pair.
    const auto link = [](const std::string &name) {
        return "ip link add " + name + " type veth peer name " + name + "p && ip link set " + name
               + "p up && ip link set " + name + " up";
    };
    // Each step changes the namespace, then both addresses are read there.
    using Step = std::tuple<std::string, const char *, const char *>;
    const std::string v6 = " && ip -6 addr add ";
    const std::vector<Step> steps {
        {"ip link set lo up", "127.0.0.1", "unknown"},
        // No default route: the first address of an interface that is up.
        {link("pw0") + " && ip addr add 10.77.0.2/24 dev pw0", "10.77.0.2", "unknown"},
        // The interface of the default route wins, though it comes later.
        {link("pw1")
             + " && ip addr add 10.88.0.2/24 dev pw1 && ip route add default via "
               "10.88.0.1 dev pw1",
         "10.88.0.2", "unknown"},
        // IPv6: no ULA, nor a global address of another interface.
        {"ip -6 route add default via fe80::1 dev pw1" + v6 + "fd00::5/64 dev pw1 nodad" + v6
             + "2001:db8::5/64 dev pw0 nodad",
         "10.88.0.2", "unknown"},
        {"ip -6 addr add 2001:db8:1::7/64 dev pw1 nodad", "10.88.0.2", "2001:db8:1::7"},
        // A deprecated address gives way.
        {"ip -6 addr add 2001:db8:1::8/64 dev pw1 nodad && ip -6 addr change 2001:db8:1::7/64 "
         "dev pw1 preferred_lft 0",
         "10.88.0.2", "2001:db8:1::8"},
        // A temporary (privacy) address, made by the kernel from ::9, is never chosen.
        {"sysctl -qw net.ipv6.conf.pw1.use_tempaddr=2 net.ipv6.conf.pw1.accept_dad=0 && ip -6 "
         "addr change 2001:db8:1::8/64 dev pw1 preferred_lft 0 && ip -6 addr add "
         "2001:db8:1::9/64 dev pw1 mngtmpaddr",
         "10.88.0.2", "2001:db8:1::9"},
    };
    // The namespace is the child's own and goes with it, whatever the outcome; the
    // child says what it read where it differs.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (unshare(CLONE_NEWNET) != 0)
            _exit(2);
        int differing = 0;
        for (const auto &[command, ip, ipv6] : steps) {
            const std::string read = std::system(command.c_str()) == 0
                                         ? LocalIP() + " " + GlobalIPv6().value_or("unknown")
                                         : "failed";
            if (read != std::string(ip) + " " + ipv6) {
                std::fprintf(stderr, "after %s: %s\n", command.c_str(), read.c_str());
                ++differing;
            }
        }
        _exit(differing == 0 ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 2)
        GTEST_SKIP() << "this machine does not allow a new network namespace";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}
