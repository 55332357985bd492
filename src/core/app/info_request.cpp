// SPDX-License-Identifier: MIT
#include "core/app/info_request.h"

namespace pellwick {

std::string VersionText()
{
    return "Pellwick " PELLWICK_VERSION;
}

std::string LicenceText()
{
    return "Copyright (c) " PELLWICK_COPYRIGHT "\n"
           "License: MIT <https://opensource.org/licenses/MIT>\n"
           "This is free software: you are free to change and redistribute it.\n"
           "There is NO WARRANTY, to the extent permitted by law.\n";
}

std::string InfoText(InfoRequest request, const std::string &programName)
{
    if (request == InfoRequest::Version)
        return VersionText() + "\n" + LicenceText();
    if (request != InfoRequest::Help)
        return {};
    return "Usage: " + programName
           + " [/s] [--headless | --send-now] [--password-file FILE]\n"
             "       "
           + programName
           + " --list | --get NAME | --set NAME=VALUE... | --unset NAME\n"
             "       "
           + programName
           + " --set-password | --status\n"
             "Mails this machine's local IP address, from a template, over SMTP.\n"
             "\n"
             "  /s, -s                a log-in run: ends once its first mail dialogue\n"
             "                        is over when \"Auto Exit After Login Run\" is checked\n"
             "  --password-file FILE  the SMTP password: the first line of FILE, which\n"
             "                        only its owner may read (where no secret store runs)\n"
             "  --headless            run with no window and no tray (no display\n"
             "                        needed); told to end (SIGTERM; on Windows,\n"
             "                        taskkill or Ctrl+C), it saves as usual\n"
             "  --send-now            send one email with the stored settings, print\n"
             "                        the server's last reply and exit: 0 delivered,\n"
             "                        75 failed for now, 69 refused, 78 no server set\n"
             "  --list                print every stored value: name, type, value, and\n"
             "                        \"(default)\" where it is the default\n"
             "  --get NAME            print one stored value\n"
             "  --set NAME=VALUE...   change stored values (names in any case); a\n"
             "                        running Pellwick shows and saves them at once\n"
             "  --unset NAME          put a stored value back to its default\n"
             "  --set-password        keep the SMTP password, read from standard input,\n"
             "                        in the secret store (for the stored server and user)\n"
             "  --status              print what the running Pellwick is doing; exit 3\n"
             "                        when none runs\n"
             "  --help, /?            print this help and exit\n"
             "  --version             print the version and exit\n"
             "An unknown option, name or a bad value ends the program with status 64.\n";
}

} // namespace pellwick
