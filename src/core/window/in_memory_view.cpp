// SPDX-License-Identifier: MIT
#include "core/window/in_memory_view.h"

#include "core/window/window_description.h"

#include <algorithm>

namespace pellwick {

InMemoryView::InMemoryView()
{
    for (const ControlDescription &d : WindowControls()) {
        // Labels and fields read back their caption, as a shell's do.
        if (d.kind == WidgetKind::Label || d.kind == WidgetKind::Edit)
            at(d.control).text = d.caption;
        at(d.control).enabled = d.enabled;
    }
    at(Control::TimerUnit).text = kTimerUnits[0];
    at(Control::TimerUnit).listIndex = 0;
    for (const MenuEntry &entry : kTrayMenu) {
        if (entry.item)
            m_menuChecked[Index(*entry.item)] = entry.checked;
    }
}

void InMemoryView::SetText(Control control, const std::string &text)
{
    // Like an edit box given new text: the caret goes to the start.
    at(control).text = text;
    at(control).selection = {};
    if (control == Control::TimerUnit)
        at(control).listIndex = -1;
}

void InMemoryView::Select(Control control, std::size_t start, std::size_t length)
{
    const std::size_t size = at(control).text.size();
    start = std::min(start, size);
    at(control).selection = {start, std::min(length, size - start)};
}

void InMemoryView::SetListIndex(Control control, int index)
{
    at(control).listIndex = index;
    // A unit list knows its entries; typing a matching text selects none.
    if (index >= 0 && index < static_cast<int>(kTimerUnits.size()))
        at(control).text = kTimerUnits[static_cast<std::size_t>(index)];
}

} // namespace pellwick
