// SPDX-License-Identifier: MIT
#pragma once

#include "core/tray/notify_area.h"

#include <QIcon>
#include <QObject>
#include <QString>
#include <QSystemTrayIcon>

#include <memory>

namespace pellwick {

// The notification area on Qt: one QSystemTrayIcon is the program's one icon.
//
// Clicks on the icon are reported, not acted on: a double-click asks for the
// window, the context request for the menu; a single click does nothing. No
// context menu is attached: the window decides when its menu opens.
//
// The QSystemTrayIcon is made when the icon first shows: a run that shows no
// icon never asks the desktop for one.
class QtNotifyArea
    : public QObject
    , public NotifyArea
{
    Q_OBJECT

public:
    explicit QtNotifyArea(const QIcon &icon, QObject *parent = nullptr);

    void ShowIcon(const std::string &tip) override;
    void SetTip(const std::string &tip) override;
    void HideIcon() override;
    bool Available() const override { return QSystemTrayIcon::isSystemTrayAvailable(); }
    // A balloon by the icon; with no icon shown, a line on standard error.
    void ShowMessage(const std::string &title, const std::string &text) override;

    bool isVisible() const { return m_icon && m_icon->isVisible(); }
    QString toolTip() const { return m_icon ? m_icon->toolTip() : QString(); }

signals:
    void clicked(pellwick::TrayClick click);

private:
    QIcon m_picture;
    std::unique_ptr<QSystemTrayIcon> m_icon;
};

} // namespace pellwick
