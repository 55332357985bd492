#include "gui/qt/frm_menu.h"

#include "gui/qt/pellwick_icon.h"

#include <QAction>
#include <QCursor>
#include <QMenu>
#include <QString>
#include <QVariant>

namespace pellwick {

namespace {

constexpr char kIndexProperty[] = "Index";

QAction *Item(QMenu &menu, const char *name, const QString &caption, int index)
{
    auto *item = menu.addAction(caption);
    item->setObjectName(QLatin1String(name));
    if (index != frmMenu::kNoIndex)
        item->setProperty(kIndexProperty, index);
    return item;
}

QAction *Separator(QMenu &menu, const char *name, int index)
{
    auto *item = Item(menu, name, QStringLiteral("-"), index);
    item->setSeparator(true);
    item->setEnabled(false);
    return item;
}

QAction *Mark(QMenu &menu, const char *name, const QString &caption, int index)
{
    auto *item = Item(menu, name, caption, index);
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
    mnuPopup->menuAction()->setProperty(kIndexProperty, kPopupIndex);

    CopyIP = Item(*mnuPopup, "CopyIP", QStringLiteral("&Copy IP To Clipboard"), 8);
    Sep3 = Separator(*mnuPopup, "Sep3", kNoIndex);
    ShowIP = Mark(*mnuPopup, "ShowIP", QStringLiteral("Show Local &IP"), 2);
    ShowPhyMem = Mark(*mnuPopup, "ShowPhyMem", QStringLiteral("Show &Physical Memory"), 3);
    ShowVirtMem = Mark(*mnuPopup, "ShowVirtMem", QStringLiteral("Show &Virutal Memory"), 4);
    Seperator = Separator(*mnuPopup, "Seperator", 1);
    Restore = Item(*mnuPopup, "Restore", QStringLiteral("&Restore"), 5);
    Minimize = Item(*mnuPopup, "Minimize", QStringLiteral("&Minimize"), 6);
    Sep1 = Separator(*mnuPopup, "Sep1", 1);
    Exit = Item(*mnuPopup, "Exit", QStringLiteral("E&xit"), 7);
}

frmMenu::~frmMenu() = default;

int frmMenu::IndexOf(const QAction *item) const
{
    if (!item)
        return kNoIndex;
    const QVariant index = item->property(kIndexProperty);
    return index.isValid() ? index.toInt() : kNoIndex;
}

void frmMenu::PopupAtPointer()
{
    mnuPopup->popup(QCursor::pos());
}

} // namespace pellwick
