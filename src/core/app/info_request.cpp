#include "core/app/info_request.h"

namespace pellwick {

std::string VersionText()
{
    return "Pellwick " PELLWICK_VERSION;
}

std::optional<std::string> InfoRequest(const std::vector<std::string> &arguments,
                                       const std::string &programName)
{
    for (const std::string &argument : arguments) {
        if (argument == "--version")
            return VersionText() + "\n";
        if (argument == "--help" || argument == "-h" || argument == "/?")
            return "Usage: " + programName
                   + " [/s]\n"
                     "Mails this machine's local IP address, from a template, over SMTP.\n"
                     "\n"
                     "  /s, -s       a log-in run: ends once its first mail dialogue is over\n"
                     "               when \"Auto Exit After Login Run\" is checked\n"
                     "  --help, /?   print this help and exit\n"
                     "  --version    print the version and exit\n";
    }
    return std::nullopt;
}

} // namespace pellwick
