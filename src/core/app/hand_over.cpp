// SPDX-License-Identifier: MIT
#include "core/app/hand_over.h"

#include "core/text/text.h"

namespace pellwick {

namespace {

constexpr std::string_view kWords[] = {"show", "login", "command"};

std::string joined(const std::vector<std::string> &fields)
{
    std::string bytes;
    for (const std::string &field : fields)
        bytes += field + '\0';
    return bytes;
}

std::vector<std::string> fieldsOf(std::string_view bytes)
{
    std::vector<std::string> fields;
    while (!bytes.empty()) {
        const std::size_t end = bytes.find('\0');
        fields.emplace_back(bytes.substr(0, end));
        bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
    }
    return fields;
}

} // namespace

std::string Encoded(const HandOver &handOver)
{
    std::vector<std::string> fields {std::string(kWords[static_cast<int>(handOver.request)])};
    fields.insert(fields.end(), handOver.arguments.begin(), handOver.arguments.end());
    return joined(fields);
}

std::string Encoded(const HandOverReply &reply)
{
    return joined({std::to_string(reply.status), reply.headless ? "1" : "0",
                   std::to_string(reply.process), reply.out, reply.err});
}

std::optional<HandOver> DecodedHandOver(std::string_view bytes)
{
    std::vector<std::string> fields = fieldsOf(bytes);
    for (int i = 0; !fields.empty() && i < 3; ++i) {
        if (fields[0] == kWords[i]) {
            fields.erase(fields.begin());
            return HandOver {static_cast<InstanceRequest>(i), std::move(fields)};
        }
    }
    return std::nullopt;
}

std::optional<HandOverReply> DecodedReply(std::string_view bytes)
{
    // The texts may be empty: their fields are there all the same.
    std::vector<std::string> fields = fieldsOf(bytes);
    fields.resize(5);
    const auto status = ParseWholeNumber(fields[0]);
    const auto process = ParseWholeNumber(fields[2]);
    if (!status || !process || (fields[1] != "0" && fields[1] != "1"))
        return std::nullopt;
    HandOverReply reply = FailureReply(static_cast<int>(*status), fields[4]);
    reply.err.pop_back();
    reply.out = std::move(fields[3]);
    reply.headless = fields[1] == "1";
    reply.process = *process;
    return reply;
}

std::string HeadlessRunningLine(std::int64_t process)
{
    return "Pellwick is already running without a window (process " + std::to_string(process)
           + "); `pellwick --status` tells what it is doing";
}

} // namespace pellwick
