// SPDX-License-Identifier: MIT
#pragma once

#include <memory>
#include <optional>

namespace pellwick {

// What a second start asks of the running program.
enum class InstanceRequest {
    Show, // an ordinary start: bring the window up
    LoginRun, // a log-in run (/s): the running program already does its job
};

// This user's one running Pellwick. The first start holds it for its life; a
// later start hands its request over and ends.
class SingleInstance
{
public:
    virtual ~SingleInstance() = default;

    // What the event loop waits on (readable when a later start hands over);
    // -1 when no hand-over can arrive.
    virtual int Handle() const = 0;

    // The request of one later start, once Handle() is readable.
    virtual std::optional<InstanceRequest> TakeRequest() = 0;
};

struct InstanceClaim
{
    // Set for the first start (also when the claim could not be made safely, so
    // the program still runs); empty when another instance runs.
    std::unique_ptr<SingleInstance> instance;
};

// Claims the instance, or hands `request` to the one that holds it.
InstanceClaim ClaimSingleInstance(InstanceRequest request);

} // namespace pellwick
