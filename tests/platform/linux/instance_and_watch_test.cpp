#include "support/temp_folder.h"

#include "platform/address_watch.h"
#include "platform/single_instance.h"

#include <gtest/gtest.h>

#include <poll.h>
#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

using namespace pellwick;

TEST(SingleInstance, LaterStartsHandOverAndAStaleSocketIsReplaced)
{
    test::TempFolder runtime;
    ::setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1);

    InstanceClaim first = ClaimSingleInstance(InstanceRequest::Show);
    ASSERT_TRUE(first.instance);
    ASSERT_GE(first.instance->Handle(), 0);

    for (const InstanceRequest request : {InstanceRequest::LoginRun, InstanceRequest::Show}) {
        EXPECT_FALSE(ClaimSingleInstance(request).instance);
        EXPECT_EQ(first.instance->TakeRequest(), request);
    }

    // The first one ends (its socket file stays behind, as after a kill).
    first.instance.reset();
    InstanceClaim next = ClaimSingleInstance(InstanceRequest::Show);
    ASSERT_TRUE(next.instance);
    EXPECT_FALSE(ClaimSingleInstance(InstanceRequest::Show).instance);
    EXPECT_EQ(next.instance->TakeRequest(), InstanceRequest::Show);
    ::unsetenv("XDG_RUNTIME_DIR");
}

// In a network namespace of its own (root only), a new address is told at once.
TEST(AddressWatch, ANewAddressIsToldWithoutWaitingForATick)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root for a network namespace";
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::unshare(CLONE_NEWNET) != 0)
            ::_exit(3);
        auto watch = OpenAddressWatch();
        if (!watch)
            ::_exit(4);
        if (std::system("ip link set lo up && ip addr add 10.77.9.1/24 dev lo") != 0)
            ::_exit(5);
        pollfd ready {watch->Handle(), POLLIN, 0};
        // The bound only stops a broken run; the notice comes within milliseconds.
        if (::poll(&ready, 1, 10000) != 1)
            ::_exit(6);
        ::_exit(watch->Drain() ? 0 : 7);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}
