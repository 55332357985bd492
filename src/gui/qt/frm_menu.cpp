#include "gui/qt/frm_menu.h"

#include "core/form/window_description.h"
#include "gui/qt/qt_text.h"

#include <QAction>
#include <QCursor>
#include <QMenu>

namespace pellwick {

frmMenu::frmMenu(const QIcon &icon, QObject *parent)
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

frmMenu::~frmMenu() = default;

void frmMenu::PopupAtPointer()
{
    if (!mnuPopup) {
        mnuPopup = std::make_unique<QMenu>(QStringLiteral("Popup"));
        mnuPopup->setObjectName(QStringLiteral("mnuPopup"));
        mnuPopup->setWindowIcon(m_icon);
        // Every entry, separators too, in the order they were made.
        mnuPopup->addActions(findChildren<QAction *>(Qt::FindDirectChildrenOnly));
    }
    mnuPopup->popup(QCursor::pos());
}

} // namespace pellwick
