// SPDX-License-Identifier: MIT
#include "gui/qt/tray_menu.h"

#include "core/window/window_description.h"
#include "gui/qt/qt_text.h"

#include <QAction>
#include <QCursor>
#include <QMenu>

namespace pellwick {

TrayMenu::TrayMenu(const QIcon &icon, QObject *parent)
    : QObject(parent)
    , m_icon(icon)
{
    setObjectName(QStringLiteral("frmMenu"));
    for (const MenuEntry &entry : kTrayMenu) {
        auto *action = new QAction(entry.item ? toQ(entry.caption) : QStringLiteral("-"), this);
        action->setObjectName(toQ(entry.name));
        if (entry.item)
            m_items[Index(*entry.item)] = action;
        else
            action->setSeparator(true);
        action->setEnabled(entry.item.has_value());
        action->setCheckable(entry.checked);
        action->setChecked(entry.checked);
    }
}

TrayMenu::~TrayMenu() = default;

void TrayMenu::PopupAtPointer()
{
    if (!m_popup) {
        m_popup = std::make_unique<QMenu>(QStringLiteral("Popup"));
        m_popup->setObjectName(QStringLiteral("mnuPopup"));
        m_popup->setWindowIcon(m_icon);
        // Every entry, separators too, in the order they were made.
        m_popup->addActions(findChildren<QAction *>(Qt::FindDirectChildrenOnly));
    }
    m_popup->popup(QCursor::pos());
}

} // namespace pellwick
