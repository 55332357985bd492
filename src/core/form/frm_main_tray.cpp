#include "core/form/form_view.h"
#include "core/form/frm_main.h"
#include "core/tray/status_texts.h"

#include <algorithm>
#include <array>
#include <utility>

namespace pellwick {

namespace {

// The tooltip options, each with its mark in the tray menu.
struct ShowOption
{
    Control box;
    MenuItem item;
};
constexpr std::array<ShowOption, 3> kShowOptions {{
    {Control::chkShowIP, MenuItem::ShowIP},
    {Control::chkShowPhyMem, MenuItem::ShowPhyMem},
    {Control::chkShowVirtualMem, MenuItem::ShowVirtMem},
}};

} // namespace

std::optional<MenuItem> frmMain::showOptionMark(Control box)
{
    const auto found = std::ranges::find(kShowOptions, box, &ShowOption::box);
    return found == kShowOptions.end() ? std::nullopt : std::optional(found->item);
}

void frmMain::UpdateCaption(const std::string &text)
{
    m_view.SetCaption(CaptionText(text, g_strLocalIP));
}

void frmMain::UpdateTrayTip()
{
    if (m_memoryStale
        && (IsChecked(Control::chkShowPhyMem) || IsChecked(Control::chkShowVirtualMem)))
        refreshMemory();
    m_tray.SetTrayTip(TrayTipText(IsChecked(Control::chkShowIP), IsChecked(Control::chkShowPhyMem),
                                  IsChecked(Control::chkShowVirtualMem), g_strLocalIP, m_memory));
}

void frmMain::refreshMemory()
{
    m_memoryStale = false;
    m_memory = m_parts.memoryReader();
    UpdateMemoryLabels();
}

void frmMain::UpdateMemoryLabels()
{
    // Every tick builds both lines, and most find them as they were: a caption
    // set again would still cost the shell a layout (Qt) or a repaint (Win32).
    for (const auto &[label, line] :
         {std::pair {Control::lblFreePhysMemory, PhysicalMemoryLine(m_memory)},
          std::pair {Control::lblVirtMem, VirtualMemoryLine(m_memory)}}) {
        if (m_view.Text(label) != line)
            m_view.SetText(label, line);
    }
}

void frmMain::AddTrayIcon()
{
    m_tray.AddTrayIcon(localIp());
}

bool frmMain::windowOnScreen() const
{
    return m_view.WindowVisible() && m_view.State() != WindowState::Minimized;
}

void frmMain::Form_Resize()
{
    if (m_memoryStale && windowOnScreen())
        refreshMemory();
    if (m_exiting || m_view.State() != WindowState::Minimized)
        return;
    // A minimised window lives in the tray, whatever chkDisplayIcon holds, so
    // it can always be brought back; with no notification area at all it stays
    // on the task bar instead.
    if (!m_parts.notifyArea.Available())
        return;
    m_view.SetWindowVisible(false);
    AddTrayIcon();
}

void frmMain::Form_MouseDown(TrayClick click)
{
    if (click == TrayClick::OpenWindow)
        Restore_Click();
    else
        m_view.PopupMenu();
}

void frmMain::Restore_Click()
{
    m_view.SetState(WindowState::Normal);
    if (m_memoryStale)
        refreshMemory();
    m_view.Refresh();
    m_view.SetWindowVisible(true);
}

void frmMain::Minimize_Click()
{
    // A window bound for the tray goes there at once: asking the window system
    // to minimise a window that is withdrawn right after lets its late report
    // of the minimised state hide the window again after the next restore.
    if (m_parts.notifyArea.Available()) {
        m_view.SetWindowVisible(false);
        AddTrayIcon();
        return;
    }
    m_view.SetState(WindowState::Minimized);
}

void frmMain::toggleShowOption(MenuItem item)
{
    // Setting the box runs its own handler first, which sets the mark and
    // rebuilds the tooltip too.
    const Control box = std::ranges::find(kShowOptions, item, &ShowOption::item)->box;
    const bool wasSet = m_view.MenuChecked(item);
    SetValue(box, wasSet ? vbUnchecked : vbChecked);
    m_view.SetMenuChecked(item, !wasSet);
    UpdateTrayTip();
}

} // namespace pellwick
