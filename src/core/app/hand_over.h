// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pellwick {

// What a later start asks of the running program.
enum class InstanceRequest {
    Show, // an ordinary start: bring the window up
    LoginRun, // a log-in run (/s): the running program already does its job
    Command, // a settings command or --status, run by the running program
};

struct HandOver
{
    InstanceRequest request = InstanceRequest::Show;
    // The command's arguments, for InstanceRequest::Command.
    std::vector<std::string> arguments;
    // Set by the channel, never sent: why the request was refused unread (it
    // came from another user). The program says so and answers only that.
    std::string refusal = {};
};

// The running program's answer: what the later start prints and ends with,
// and how the running one runs.
struct HandOverReply
{
    int status = 0;
    std::string out;
    std::string err;
    bool headless = false;
    std::int64_t process = 0;
};

// A reply of one line on standard error, ending with `status`.
inline HandOverReply FailureReply(int status, const std::string &line)
{
    HandOverReply reply;
    reply.status = status;
    reply.err = line + "\n";
    return reply;
}

// The bytes that carry each over the single-instance channel: fields parted by
// NUL, which no argument and no printed text holds. Decoding gives none for
// bytes no encoder made.
std::string Encoded(const HandOver &handOver);
std::string Encoded(const HandOverReply &reply);
std::optional<HandOver> DecodedHandOver(std::string_view bytes);
std::optional<HandOverReply> DecodedReply(std::string_view bytes);

// What a start beside a running --headless program says.
std::string HeadlessRunningLine(std::int64_t process);

} // namespace pellwick
