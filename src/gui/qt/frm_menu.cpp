#include "gui/qt/frm_menu.h"

#include <QAction>
#include <QCursor>
#include <QMenu>
#include <QString>

namespace pellwick {

namespace {

QAction *addItem(QObject &menu, const char *name, const QString &caption)
{
    auto *item = new QAction(caption, &menu);
    item->setObjectName(QLatin1String(name));
    return item;
}

QAction *Separator(QObject &menu, const char *name)
{
    auto *item = addItem(menu, name, QStringLiteral("-"));
    item->setSeparator(true);
    item->setEnabled(false);
    return item;
}

QAction *Mark(QObject &menu, const char *name, const QString &caption)
{
    auto *item = addItem(menu, name, caption);
    item->setCheckable(true);
    item->setChecked(true);
    return item;
}

} // namespace

frmMenu::frmMenu(const QIcon &icon, QObject *parent)
    : QObject(parent)
    , m_icon(icon)
{
    setObjectName(QStringLiteral("frmMenu"));
    CopyIP = addItem(*this, "CopyIP", QStringLiteral("&Copy IP To Clipboard"));
    Sep3 = Separator(*this, "Sep3");
    ShowIP = Mark(*this, "ShowIP", QStringLiteral("Show Local &IP"));
    ShowPhyMem = Mark(*this, "ShowPhyMem", QStringLiteral("Show &Physical Memory"));
    ShowVirtMem = Mark(*this, "ShowVirtMem", QStringLiteral("Show &Virutal Memory"));
    Seperator = Separator(*this, "Seperator");
    Restore = addItem(*this, "Restore", QStringLiteral("&Restore"));
    Minimize = addItem(*this, "Minimize", QStringLiteral("&Minimize"));
    Sep1 = Separator(*this, "Sep1");
    Exit = addItem(*this, "Exit", QStringLiteral("E&xit"));
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
    if (!mnuPopup) {
        mnuPopup = std::make_unique<QMenu>(QStringLiteral("Popup"));
        mnuPopup->setObjectName(QStringLiteral("mnuPopup"));
        mnuPopup->setWindowIcon(m_icon);
        mnuPopup->addActions({CopyIP, Sep3, ShowIP, ShowPhyMem, ShowVirtMem, Seperator, Restore,
                              Minimize, Sep1, Exit});
    }
    mnuPopup->popup(QCursor::pos());
}

} // namespace pellwick
