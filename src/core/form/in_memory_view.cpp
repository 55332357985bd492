#include "core/form/in_memory_view.h"

#include "core/form/window_description.h"

#include <algorithm>

namespace pellwick {

InMemoryView::InMemoryView()
{
    for (const ControlDescription &d : WindowControls()) {
        // Labels and fields read back their caption, as a shell's do.
        if (d.kind == ControlKind::Label || d.kind == ControlKind::Edit)
            at(d.control).text = d.caption;
        at(d.control).enabled = d.enabled;
    }
    at(Control::cmbTimerRate).text = kTimerUnits[0];
    at(Control::cmbTimerRate).listIndex = 0;
    for (const MenuEntry &entry : kTrayMenu) {
        if (entry.item)
            m_menuChecked[static_cast<std::size_t>(*entry.item)] = entry.checked;
    }
}

std::string InMemoryView::Text(Control control) const
{
    return at(control).text;
}

void InMemoryView::SetText(Control control, const std::string &text)
{
    // Like an edit box given new text: the caret goes to the start.
    at(control).text = text;
    at(control).selection = {};
    if (control == Control::cmbTimerRate)
        at(control).listIndex = -1;
}

void InMemoryView::AppendText(Control control, const std::string &text)
{
    at(control).text += text;
}

void InMemoryView::DropLeadingText(Control control, const std::string &dropped)
{
    at(control).text.erase(0, dropped.size());
}

TextSelection InMemoryView::Selection(Control control) const
{
    return at(control).selection;
}

void InMemoryView::Select(Control control, std::size_t start, std::size_t length)
{
    const std::size_t size = at(control).text.size();
    start = std::min(start, size);
    at(control).selection = {start, std::min(length, size - start)};
}

int InMemoryView::Value(Control control) const
{
    return at(control).value;
}

void InMemoryView::SetValue(Control control, int value)
{
    at(control).value = value;
}

int InMemoryView::ListIndex(Control control) const
{
    return at(control).listIndex;
}

void InMemoryView::SetListIndex(Control control, int index)
{
    at(control).listIndex = index;
    // A unit list knows its entries; typing a matching text selects none.
    if (index >= 0 && index < static_cast<int>(kTimerUnits.size()))
        at(control).text = kTimerUnits[static_cast<std::size_t>(index)];
}

bool InMemoryView::Enabled(Control control) const
{
    return at(control).enabled;
}

void InMemoryView::SetEnabled(Control control, bool enabled)
{
    at(control).enabled = enabled;
}

bool InMemoryView::Visible(Control control) const
{
    return at(control).visible;
}

void InMemoryView::SetVisible(Control control, bool visible)
{
    at(control).visible = visible;
}

bool InMemoryView::TabVisible(Tab tab) const
{
    return m_tabVisible[static_cast<std::size_t>(tab)];
}

void InMemoryView::SetTabVisible(Tab tab, bool visible)
{
    m_tabVisible[static_cast<std::size_t>(tab)] = visible;
}

bool InMemoryView::MenuChecked(MenuItem item) const
{
    return m_menuChecked[static_cast<std::size_t>(item)];
}

void InMemoryView::SetMenuChecked(MenuItem item, bool checked)
{
    m_menuChecked[static_cast<std::size_t>(item)] = checked;
}

} // namespace pellwick
