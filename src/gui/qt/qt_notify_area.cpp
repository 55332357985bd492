// SPDX-License-Identifier: MIT
#include "gui/qt/qt_notify_area.h"

#include "gui/qt/qt_text.h"

namespace pellwick {

QtNotifyArea::QtNotifyArea(const QIcon &icon, QObject *parent)
    : QObject(parent)
    , m_picture(icon)
{
}

void QtNotifyArea::ShowIcon(const std::string &tip)
{
    if (!m_icon) {
        m_icon = std::make_unique<QSystemTrayIcon>(m_picture);
        connect(m_icon.get(), &QSystemTrayIcon::activated, this,
                [this](QSystemTrayIcon::ActivationReason reason) {
                    if (reason == QSystemTrayIcon::DoubleClick)
                        emit clicked(TrayClick::OpenWindow);
                    else if (reason == QSystemTrayIcon::Context)
                        emit clicked(TrayClick::OpenMenu);
                });
    }
    m_icon->setToolTip(toQ(tip));
    m_icon->show();
}

void QtNotifyArea::SetTip(const std::string &tip)
{
    if (isVisible())
        m_icon->setToolTip(toQ(tip));
}

void QtNotifyArea::HideIcon()
{
    if (m_icon)
        m_icon->hide();
}

void QtNotifyArea::ShowMessage(const std::string &title, const std::string &text)
{
    if (isVisible())
        m_icon->showMessage(toQ(title), toQ(text), QSystemTrayIcon::Warning);
    else
        WriteMessageLine(title, text);
}

} // namespace pellwick
