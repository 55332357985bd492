// SPDX-License-Identifier: MIT
#pragma once

#include <functional>

namespace pellwick::test {

// Runs the Qt event loop until `done` holds or `timeoutMs` has passed; returns
// whether it holds. The timeout only bounds a broken run: passing tests never
// wait for it.
bool RunEventsUntil(const std::function<bool()> &done, int timeoutMs = 10000);

} // namespace pellwick::test
