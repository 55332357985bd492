// SPDX-License-Identifier: MIT
#include "support/temp_folder.h"

#include "platform/single_instance.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace pellwick;

TEST(SingleInstance, LaterStartsHandOverAndAStaleSocketIsReplaced)
{
    test::TempFolder runtime;
    ::setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1); // this test's process alone

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
}
