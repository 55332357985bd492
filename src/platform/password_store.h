// SPDX-License-Identifier: MIT
#pragma once

#include "core/mail/password_file.h"
#include "core/mail/password_store.h"

#include <memory>
#include <string>

namespace pellwick {

// This system's secret store: the Secret Service (libsecret) on Linux, the
// Credential Manager on Windows.
std::unique_ptr<PasswordStore> MakePasswordStore();

// Reads a file only when nobody but its owner, the user running the program,
// may read or change it (for --password-file).
PrivateFile ReadPrivateFile(const std::string &path);

} // namespace pellwick
