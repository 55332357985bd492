// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace pellwick {

// The host's local IPv4 address as dotted text, read afresh at every call: the
// address of the interface that carries the default route, else the first
// address of an interface that is up and not loopback, else "127.0.0.1".
std::string LocalIP();

} // namespace pellwick
