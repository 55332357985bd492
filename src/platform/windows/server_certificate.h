#pragma once

#include "core/mail/socket.h"

#include "gui/win32/win32_api.h"

#include <wincrypt.h>

#include <string>

namespace pellwick {

// The certificate a server showed: its SHA-256 fingerprint, and whether it
// chains to an authority the system trusts, for a server of that name.
TlsPeer CheckServerCertificate(PCCERT_CONTEXT certificate, const std::wstring &serverName);

} // namespace pellwick
