#include "core/mail/smtp_reply.h"

#include <sstream>
#include <vector>

namespace pellwick {

namespace {

std::vector<std::string> lines(const std::string &reply)
{
    std::vector<std::string> result;
    std::size_t start = 0;
    while (start < reply.size()) {
        std::size_t end = reply.find('\n', start);
        end = end == std::string::npos ? reply.size() : end + 1;
        std::string line = reply.substr(start, end - start);
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
            line.pop_back();
        result.push_back(std::move(line));
        start = end;
    }
    return result;
}

std::string upper(std::string text)
{
    for (char &c : text) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

} // namespace

std::string ReplyCode(const std::string &reply)
{
    std::string code;
    for (const std::string &line : lines(reply)) {
        if (line.size() < 3)
            return {};
        if (code.empty())
            code = line.substr(0, 3);
        else if (line.compare(0, 3, code) != 0)
            return {};
    }
    return code;
}

std::string LastLine(const std::string &reply)
{
    const std::vector<std::string> all = lines(reply);
    return all.empty() ? std::string() : all.back();
}

EhloCapabilities ParseEhloReply(const std::string &reply)
{
    EhloCapabilities caps;
    const std::vector<std::string> all = lines(reply);
    // The first line greets by name; each later one names one extension.
    for (std::size_t i = 1; i < all.size(); ++i) {
        std::istringstream words(upper(all[i].size() > 4 ? all[i].substr(4) : std::string()));
        std::string keyword;
        words >> keyword;
        if (keyword == "STARTTLS") {
            caps.startTls = true;
        } else if (keyword == "8BITMIME") {
            caps.eightBitMime = true;
        } else if (keyword.starts_with("AUTH")) {
            // "AUTH PLAIN LOGIN", or the older "AUTH=PLAIN LOGIN".
            std::string mechanism = keyword.size() > 5 ? keyword.substr(5) : std::string();
            do {
                caps.authPlain = caps.authPlain || mechanism == "PLAIN";
                caps.authLogin = caps.authLogin || mechanism == "LOGIN";
            } while (words >> mechanism);
        }
    }
    return caps;
}

} // namespace pellwick
