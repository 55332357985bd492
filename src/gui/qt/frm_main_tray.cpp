#include "gui/qt/frm_main.h"

#include "core/tray/status_texts.h"
#include "core/tray/tray_icon_data.h"
#include "gui/qt/qt_text.h"

#include <QAction>
#include <QCheckBox>
#include <QEvent>
#include <QLabel>

namespace pellwick {

void frmMain::UpdateCaption(const std::string &text)
{
    SetWindowCaption(CaptionText(text, g_strLocalIP));
}

void frmMain::SetWindowCaption(const std::string &text)
{
    setWindowTitle(toQ(text));
}

void frmMain::UpdateTrayTip()
{
    m_tray.SetTrayTip(TrayTipText(chkShowIP->isChecked(), chkShowPhyMem->isChecked(),
                                  chkShowVirtualMem->isChecked(), g_strLocalIP, m_memory));
}

void frmMain::UpdateMemoryLabels()
{
    lblFreePhysMemory->setText(toQ(PhysicalMemoryLine(m_memory)));
    lblVirtMem->setText(toQ(VirtualMemoryLine(m_memory)));
}

void frmMain::chkShowIP_Click()
{
    m_menu.ShowIP->setChecked(chkShowIP->isChecked());
    UpdateTrayTip();
}

void frmMain::chkShowPhyMem_Click()
{
    m_menu.ShowPhyMem->setChecked(chkShowPhyMem->isChecked());
    UpdateTrayTip();
}

void frmMain::chkShowVirtualMem_Click()
{
    m_menu.ShowVirtMem->setChecked(chkShowVirtualMem->isChecked());
    UpdateTrayTip();
}

void frmMain::AddTrayIcon()
{
    m_tray.AddTrayIcon(reinterpret_cast<std::uintptr_t>(this), 1, m_parts.localIp());
}

void frmMain::RemoveTrayIcon()
{
    m_tray.RemoveTrayIcon();
}

void frmMain::chkDisplayIcon_Click()
{
    if (chkDisplayIcon->isChecked())
        AddTrayIcon();
    else
        m_tray.RemoveTrayIcon();
}

void frmMain::changeEvent(QEvent *event)
{
    MainWindowControls::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
}

void frmMain::Form_Resize()
{
    if (!isMinimized())
        return;
    // A minimised window lives in the tray, whatever chkDisplayIcon holds, so
    // it can always be brought back.
    hide();
    AddTrayIcon();
}

void frmMain::Form_MouseDown(int trayEvent)
{
    if (trayEvent == WM_LBUTTONDBLCLK)
        Restore_Click();
    else if (trayEvent == WM_RBUTTONUP)
        m_menu.PopupAtPointer();
}

void frmMain::Restore_Click()
{
    setWindowState(windowState() & ~Qt::WindowMinimized);
    update();
    show();
    raise();
    activateWindow();
}

void frmMain::Minimize_Click()
{
    // The state change itself runs Form_Resize, visible window or not.
    setWindowState(windowState() | Qt::WindowMinimized);
}

void frmMain::toggleShowOption(QCheckBox *box, QAction *item)
{
    // Setting the box runs its own handler first, which sets the mark and
    // rebuilds the tooltip too.
    const bool wasSet = item->isChecked();
    box->setChecked(!wasSet);
    item->setChecked(!wasSet);
    UpdateTrayTip();
}

void frmMain::ShowIP_Click()
{
    toggleShowOption(chkShowIP, m_menu.ShowIP);
}

void frmMain::ShowPhyMem_Click()
{
    toggleShowOption(chkShowPhyMem, m_menu.ShowPhyMem);
}

void frmMain::ShowVirtMem_Click()
{
    toggleShowOption(chkShowVirtualMem, m_menu.ShowVirtMem);
}

} // namespace pellwick
