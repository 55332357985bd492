#include "core/form/in_memory_view.h"

#include <algorithm>

namespace pellwick {

namespace {

// Unit lists know their entries; typing a matching text does not select one.
const std::array<std::string, 3> kUnits {"Seconds", "Minutes", "Hours"};

} // namespace

InMemoryView::InMemoryView()
{
    at(Control::txtTimerRate).text = "30";
    at(Control::cmbTimerRate).text = kUnits[0];
    at(Control::cmbTimerRate).listIndex = 0;
    at(Control::lblFreePhysMemory).text = "Physical Memory";
    at(Control::lblVirtMem).text = "Virtual Memory";
    at(Control::chkAutoExit).enabled = false;
    at(Control::btnInsertIP).enabled = false;
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
    if (index >= 0 && index < static_cast<int>(kUnits.size()))
        at(control).text = kUnits[static_cast<std::size_t>(index)];
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
