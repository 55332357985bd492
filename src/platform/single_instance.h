// SPDX-License-Identifier: MIT
#pragma once

#include "core/app/hand_over.h"

#include <functional>
#include <memory>
#include <optional>

namespace pellwick {

// Makes the running program's reply to a later start's request.
using HandOverAnswer = std::function<HandOverReply(const HandOver &handOver)>;

// This user's one running Pellwick. The first start holds it for its life; a
// later start hands its request over, gets the reply, and ends. Only the user
// who runs the program may hand anything over.
class SingleInstance
{
public:
    virtual ~SingleInstance() = default;

    // What the event loop waits on (readable when a later start hands over);
    // -1 when requests come another way (ServeOn) or cannot come.
    virtual int Handle() const = 0;

    // Once Handle() is readable: takes the request of one later start and sends
    // it what `answer` makes of it (this process's id added).
    virtual void TakeRequest(const HandOverAnswer &answer) = 0;

    // Runs a function on the event loop's thread and returns once it has run.
    using OnLoop = std::function<void(const std::function<void()> &)>;
    // Where requests arrive on a thread of the platform's own (Handle() is -1):
    // from now on each is answered by `answer`, run through `onLoop`.
    virtual void Serve(HandOverAnswer answer, OnLoop onLoop)
    {
        (void)answer;
        (void)onLoop;
    }
};

struct InstanceClaim
{
    // Set for the first start (also when the claim could not be made safely, so
    // the program still runs); empty when another instance runs.
    std::unique_ptr<SingleInstance> instance;
    // The running one's reply, when another runs and answered.
    std::optional<HandOverReply> reply;
};

// Claims the instance, or hands `handOver` to the one that holds it.
InstanceClaim ClaimSingleInstance(const HandOver &handOver);

// Hands `handOver` to the running program without claiming anything: its
// reply, or none when none runs.
std::optional<HandOverReply> AskRunningInstance(const HandOver &handOver);

} // namespace pellwick
