#pragma once

#include <string>

namespace pellwick {

// What one complete server reply says. Every function here is pure.

// The reply code: the first three characters every line of the reply starts
// with; empty when the lines disagree or a line is shorter than that.
std::string ReplyCode(const std::string &reply);

// The reply's last line without its line ending.
std::string LastLine(const std::string &reply);

// The extensions an EHLO reply announces that the dialogue uses.
struct EhloCapabilities
{
    bool startTls = false;
    bool eightBitMime = false;
    bool authPlain = false;
    bool authLogin = false;
};

EhloCapabilities ParseEhloReply(const std::string &reply);

} // namespace pellwick
