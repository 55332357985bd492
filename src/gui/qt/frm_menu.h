#pragma once

#include "core/form/controls.h"

#include <QIcon>
#include <QObject>

#include <memory>

class QAction;
class QMenu;

namespace pellwick {

// The form that owns the tray's popup menu and is never shown. The items are
// public members named like the menu's items; what they do is connected by
// the window (QAction::triggered). The menu itself is made when it first
// opens: a run that never opens it builds no widget for it.
class frmMenu : public QObject
{
    Q_OBJECT

public:
    explicit frmMenu(const QIcon &icon, QObject *parent = nullptr);
    ~frmMenu() override;

    // Opens the menu at the mouse pointer and returns at once; a chosen item
    // triggers its action on this thread.
    void PopupAtPointer();

    QAction *CopyIP;
    QAction *Sep3;
    QAction *ShowIP;
    QAction *ShowPhyMem;
    QAction *ShowVirtMem;
    QAction *Seperator;
    QAction *Restore;
    QAction *Minimize;
    QAction *Sep1;
    QAction *Exit;

    // The action of a menu item.
    QAction *Item(MenuItem item) const;

private:
    QIcon m_icon;
    std::unique_ptr<QMenu> mnuPopup;
};

} // namespace pellwick
