// SPDX-License-Identifier: MIT
#include "platform/platform.h"

#include <gtest/gtest.h>

#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
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
    };
    // The namespace is the child's own and goes with it, whatever the outcome; the
    // child says what it read where it differs.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (unshare(CLONE_NEWNET) != 0)
            _exit(2);
        int differing = 0;
        for (const auto &[step, expected] : steps) {
            const std::string read = std::system(step.c_str()) == 0 ? LocalIP() : "failed";
            if (read != expected) {
                std::fprintf(stderr, "after %s: %s\n", step.c_str(), read.c_str());
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
