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
                   + " [/s] [--password-file FILE]\n"
                     "Mails this machine's local IP address, from a template, over SMTP.\n"
                     "\n"
                     "  /s, -s                a log-in run: ends once its first mail dialogue\n"
                     "                        is over when \"Auto Exit After Login Run\" is "
                     "checked\n"
                     "  --password-file FILE  the SMTP password: the first line of FILE, which\n"
                     "                        only its owner may read (where no secret store "
                     "runs)\n"
                     "  --help, /?            print this help and exit\n"
                     "  --version             print the version and exit\n";
    }
    return std::nullopt;
}

} // namespace pellwick
