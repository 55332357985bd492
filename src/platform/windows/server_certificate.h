#pragma once

#include "core/mail/socket.h"

#include "platform/windows/windows_api.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <wincrypt.h>

#include <string>

namespace pellwick {

// The certificate a server showed: its SHA-256 fingerprint, and whether it
// chains to an authority the system trusts, for a server of that name.
TlsPeer CheckServerCertificate(PCCERT_CONTEXT certificate, const std::wstring &serverName);

} // namespace pellwick
