// SPDX-License-Identifier: MIT
#pragma once

#include "core/window/controls.h"

#include <QIcon>
#include <QObject>

#include <array>
#include <memory>

class QAction;
class QMenu;

namespace pellwick {

// The object that owns the tray's popup menu and is never shown. Its actions are
// the menu's entries, named like them; what they do is connected by the
// window (QAction::triggered). The menu itself is made when it first opens: a
// run that never opens it builds no widget for it.
class TrayMenu : public QObject
{
    Q_OBJECT

public:
    explicit TrayMenu(const QIcon &icon, QObject *parent = nullptr);
    ~TrayMenu() override;

    // Opens the menu at the mouse pointer and returns at once; a chosen item
    // triggers its action on this thread.
    void PopupAtPointer();

    // The action of a menu item.
    QAction *Item(MenuItem item) const { return m_items[Index(item)]; }

private:
    QIcon m_icon;
    std::array<QAction *, 7> m_items {};
    std::unique_ptr<QMenu> m_popup;
};

} // namespace pellwick
