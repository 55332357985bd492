#include "gui/qt/frm_menu.h"

#include "gui/qt/pellwick_icon.h"

#include <QAction>
#include <QCursor>
#include <QMenu>
#include <QString>

namespace pellwick {

namespace {

QAction *addItem(QMenu &menu, const char *name, const QString &caption)
{
    auto *item = menu.addAction(caption);
    item->setObjectName(QLatin1String(name));
    return item;
}

QAction *Separator(QMenu &menu, const char *name)
{
    auto *item = addItem(menu, name, QStringLiteral("-"));
    item->setSeparator(true);
    item->setEnabled(false);
    return item;
}

QAction *Mark(QMenu &menu, const char *name, const QString &caption)
{
    auto *item = addItem(menu, name, caption);
    item->setCheckable(true);
    item->setChecked(true);
    return item;
}

} // namespace

frmMenu::frmMenu(QObject *parent)
    : QObject(parent)
    , m_menu(std::make_unique<QMenu>(QStringLiteral("Popup")))
{
    setObjectName(QStringLiteral("frmMenu"));
    mnuPopup = m_menu.get();
    mnuPopup->setObjectName(QStringLiteral("mnuPopup"));
    mnuPopup->setWindowIcon(PellwickIcon());

    CopyIP = addItem(*mnuPopup, "CopyIP", QStringLiteral("&Copy IP To Clipboard"));
    Sep3 = Separator(*mnuPopup, "Sep3");
    ShowIP = Mark(*mnuPopup, "ShowIP", QStringLiteral("Show Local &IP"));
    ShowPhyMem = Mark(*mnuPopup, "ShowPhyMem", QStringLiteral("Show &Physical Memory"));
    ShowVirtMem = Mark(*mnuPopup, "ShowVirtMem", QStringLiteral("Show &Virutal Memory"));
    Seperator = Separator(*mnuPopup, "Seperator");
    Restore = addItem(*mnuPopup, "Restore", QStringLiteral("&Restore"));
    Minimize = addItem(*mnuPopup, "Minimize", QStringLiteral("&Minimize"));
    Sep1 = Separator(*mnuPopup, "Sep1");
    Exit = addItem(*mnuPopup, "Exit", QStringLiteral("E&xit"));
}

frmMenu::~frmMenu() = default;

QAction *frmMenu::Item(MenuItem item) const
{
    switch (item) {
    case MenuItem::CopyIP:
        return CopyIP;
    case MenuItem::ShowIP:
        return ShowIP;
    case MenuItem::ShowPhyMem:
        return ShowPhyMem;
    case MenuItem::ShowVirtMem:
        return ShowVirtMem;
    case MenuItem::Restore:
        return Restore;
    case MenuItem::Minimize:
        return Minimize;
    case MenuItem::Exit:
        break;
    }
    return Exit;
}

void frmMenu::PopupAtPointer()
{
    mnuPopup->popup(QCursor::pos());
}

} // namespace pellwick
