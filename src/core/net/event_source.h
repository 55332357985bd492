// SPDX-License-Identifier: MIT
#pragma once

namespace pellwick {

// A part that reports what happens to one listener it does not own; reports
// go nowhere while none is set.
template<typename Listener>
class EventSource
{
public:
    void SetEvents(Listener *events) { m_events = events; }

protected:
    Listener *Events() const { return m_events; }

private:
    Listener *m_events = nullptr;
};

} // namespace pellwick
