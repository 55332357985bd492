// SPDX-License-Identifier: MIT
#include "core/tray/status_texts.h"
#include "core/window/main_window.h"
#include "core/window/window_view.h"

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
    {Control::ShowIp, MenuItem::ShowIp},
    {Control::ShowPhysicalMemory, MenuItem::ShowPhysicalMemory},
    {Control::ShowVirtualMemory, MenuItem::ShowVirtualMemory},
}};

} // namespace

std::optional<MenuItem> MainWindow::showOptionMark(Control box)
{
    const auto found = std::ranges::find(kShowOptions, box, &ShowOption::box);
    return found == kShowOptions.end() ? std::nullopt : std::optional(found->item);
}

void MainWindow::UpdateCaption(const std::string &text)
{
    m_view.SetCaption(CaptionText(text, m_lastIp));
}

void MainWindow::UpdateTrayTip()
{
    if (m_memoryStale
        && (IsChecked(Control::ShowPhysicalMemory) || IsChecked(Control::ShowVirtualMemory)))
        refreshMemory();
    m_tray.SetTrayTip(TrayTipText(IsChecked(Control::ShowIp),
                                  IsChecked(Control::ShowPhysicalMemory),
                                  IsChecked(Control::ShowVirtualMemory), m_lastIp, m_memory));
}

void MainWindow::refreshMemory()
{
    m_memoryStale = false;
    m_memory = m_parts.memoryReader();
    UpdateMemoryLabels();
}

void MainWindow::UpdateMemoryLabels()
{
    // Every tick builds both lines, and most find them as they were: a caption
    // set again would still cost the shell a layout (Qt) or a repaint (Win32).
    for (const auto &[label, line] :
         {std::pair {Control::PhysicalMemory, PhysicalMemoryLine(m_memory)},
          std::pair {Control::VirtualMemory, VirtualMemoryLine(m_memory)}}) {
        if (m_view.Text(label) != line)
            m_view.SetText(label, line);
    }
}

void MainWindow::AddTrayIcon()
{
    m_tray.AddTrayIcon(localIp());
}

bool MainWindow::windowOnScreen() const
{
    return m_view.WindowVisible() && m_view.State() != WindowState::Minimized;
}

void MainWindow::WindowStateChanged()
{
    if (m_memoryStale && windowOnScreen())
        refreshMemory();
    if (m_exiting || m_view.State() != WindowState::Minimized)
        return;
    // A minimised window lives in the tray, whatever DisplayIcon holds, so
    // it can always be brought back; with no notification area at all it stays
    // on the task bar instead.
    if (!m_parts.notifyArea.Available())
        return;
    m_view.SetWindowVisible(false);
    AddTrayIcon();
}

void MainWindow::TrayIconClicked(TrayClick click)
{
    if (click == TrayClick::OpenWindow)
        RestoreWindow();
    else
        m_view.PopupMenu();
}

void MainWindow::RestoreWindow()
{
    m_view.SetState(WindowState::Normal);
    if (m_memoryStale)
        refreshMemory();
    m_view.Refresh();
    m_view.SetWindowVisible(true);
}

void MainWindow::MinimizeWindow()
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

void MainWindow::toggleShowOption(MenuItem item)
{
    // Setting the box runs its own handler first, which sets the mark and
    // rebuilds the tooltip too.
    const Control box = std::ranges::find(kShowOptions, item, &ShowOption::item)->box;
    const bool wasSet = m_view.MenuChecked(item);
    SetValue(box, wasSet ? kUnchecked : kChecked);
    m_view.SetMenuChecked(item, !wasSet);
    UpdateTrayTip();
}

} // namespace pellwick
