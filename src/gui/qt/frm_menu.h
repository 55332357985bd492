#pragma once

#include <QObject>

#include <memory>

class QAction;
class QMenu;

namespace pellwick {

// The form that owns the tray's popup menu and is never shown. The items are
// public members named like the menu's items; what they do is connected by
// the window (QAction::triggered). Every item except `Sep3` carries an index
// number (IndexOf), by which the tooltip options address their three items.
class frmMenu : public QObject
{
    Q_OBJECT

public:
    explicit frmMenu(QObject *parent = nullptr);
    ~frmMenu() override;

    // The number an item carries (`mnuPopup`'s own action carries
    // kPopupIndex), or kNoIndex for `Sep3` and any other action.
    int IndexOf(const QAction *item) const;

    // Opens the menu at the mouse pointer and returns at once; a chosen item
    // triggers its action on this thread.
    void PopupAtPointer();

    static constexpr int kNoIndex = -1;
    static constexpr int kPopupIndex = 1;

    QMenu *mnuPopup;
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

private:
    std::unique_ptr<QMenu> m_menu;
};

} // namespace pellwick
