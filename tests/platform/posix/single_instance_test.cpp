// SPDX-License-Identifier: MIT
#include "support/temp_folder.h"

#include "platform/single_instance.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <future>
#include <tuple>

using namespace pellwick;

namespace {

// A later start on a thread of its own (it waits for the reply), answered by
// `first` with the request's words turned round.
InstanceClaim later(SingleInstance &first, const HandOver &handOver, bool ask)
{
    auto claim = std::async(std::launch::async, [&] {
        return ask ? InstanceClaim {nullptr, AskRunningInstance(handOver)}
                   : ClaimSingleInstance(handOver);
    });
    pollfd ready {first.Handle(), POLLIN, 0};
    EXPECT_EQ(::poll(&ready, 1, 10000), 1);
    first.TakeRequest([&](const HandOver &taken) {
        EXPECT_EQ(taken.request, handOver.request);
        HandOverReply reply;
        reply.status = static_cast<int>(taken.arguments.size());
        for (const std::string &word : taken.arguments)
            reply.out = word + "\n" + reply.out;
        return reply;
    });
    return claim.get();
}

} // namespace

TEST(SingleInstance, LaterStartsHandOverAndGetTheReplyAStaleSocketIsReplaced)
{
    test::TempFolder runtime;
    ::setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1); // this test's process alone
    // A folder others may enter is made this user's alone.
    ::mkdir((runtime.path() / "pellwick").c_str(), 0755);
    EXPECT_FALSE(AskRunningInstance({InstanceRequest::Command, {"--status"}}));

    InstanceClaim first = ClaimSingleInstance({});
    ASSERT_TRUE(first.instance);
    ASSERT_GE(first.instance->Handle(), 0);
    struct stat folder;
    ASSERT_EQ(::stat((runtime.path() / "pellwick").c_str(), &folder), 0);
    EXPECT_EQ(folder.st_mode & 0777, 0700u);

    for (const InstanceRequest request : {InstanceRequest::LoginRun, InstanceRequest::Show}) {
        const InstanceClaim claim = later(*first.instance, {request, {}}, false);
        EXPECT_FALSE(claim.instance);
        EXPECT_EQ(claim.reply.value_or(HandOverReply {}).process, ::getpid());
    }
    // A command's words, an empty one and a long one among them, go there and
    // back whole.
    const std::string longWord(100000, 'x');
    const HandOverReply reply
        = later(*first.instance, {InstanceRequest::Command, {"--set", "", "Msg=a\nb", longWord}},
                true)
              .reply.value_or(HandOverReply {});
    EXPECT_EQ(std::tie(reply.status, reply.out), std::tuple(4, longWord + "\nMsg=a\nb\n\n--set\n"));

    // The first one ends (its socket file stays behind, as after a kill).
    first.instance.reset();
    EXPECT_FALSE(AskRunningInstance({InstanceRequest::Command, {"--status"}}));
    InstanceClaim next = ClaimSingleInstance({});
    ASSERT_TRUE(next.instance);
    EXPECT_FALSE(later(*next.instance, {}, false).instance);
}
