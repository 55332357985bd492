#pragma once

#include "core/tray/tray_icon_data.h"

#include <QIcon>
#include <QObject>
#include <QString>
#include <QSystemTrayIcon>

#include <memory>

namespace pellwick {

// The notification area on Qt: one QSystemTrayIcon stands for the one icon of
// the record, so there is never more than one. NIM_ADD shows it with the
// record's tip, NIM_MODIFY changes the tip, NIM_DELETE hides it.
//
// Mouse events on the icon are reported, not acted on, with the numbers of the
// window messages the shell would send: 514 for a single left click, 515 for a
// left double-click, 517 for the right button (the context request). No
// context menu is attached: the window decides when its menu opens.
//
// The QSystemTrayIcon is made at the first NIM_ADD: a run that shows no icon
// never asks the desktop for one.
class QtNotifyArea
    : public QObject
    , public NotifyArea
{
    Q_OBJECT

public:
    explicit QtNotifyArea(const QIcon &icon, QObject *parent = nullptr);

    void Notify(int message, const TrayIconData &data) override;
    bool Available() const override;
    // A balloon by the icon; with no icon shown, a line on standard error.
    void ShowMessage(const std::string &title, const std::string &text) override;

    bool isVisible() const { return m_icon && m_icon->isVisible(); }
    QString toolTip() const { return m_icon ? m_icon->toolTip() : QString(); }

signals:
    void trayEvent(int eventNumber);

private:
    QSystemTrayIcon &icon();

    QIcon m_picture;
    std::unique_ptr<QSystemTrayIcon> m_icon;
};

} // namespace pellwick
