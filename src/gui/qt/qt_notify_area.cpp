#include "gui/qt/qt_notify_area.h"

#include "core/tray/stderr_notify_area.h"

namespace pellwick {

QtNotifyArea::QtNotifyArea(const QIcon &icon, QObject *parent)
    : QObject(parent)
    , m_picture(icon)
{
}

QSystemTrayIcon &QtNotifyArea::icon()
{
    if (m_icon)
        return *m_icon;
    m_icon = std::make_unique<QSystemTrayIcon>(m_picture);
    connect(m_icon.get(), &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                switch (reason) {
                case QSystemTrayIcon::Trigger:
                    emit trayEvent(WM_LBUTTONUP);
                    break;
                case QSystemTrayIcon::DoubleClick:
                    emit trayEvent(WM_LBUTTONDBLCLK);
                    break;
                case QSystemTrayIcon::Context:
                    emit trayEvent(WM_RBUTTONUP);
                    break;
                case QSystemTrayIcon::MiddleClick:
                case QSystemTrayIcon::Unknown:
                    break;
                }
            });
    return *m_icon;
}

bool QtNotifyArea::Available() const
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void QtNotifyArea::ShowMessage(const std::string &title, const std::string &text)
{
    if (isVisible())
        m_icon->showMessage(QString::fromStdString(title), QString::fromStdString(text),
                            QSystemTrayIcon::Warning);
    else
        WriteMessageLine(title, text);
}

void QtNotifyArea::Notify(int message, const TrayIconData &data)
{
    // Only the fields the flags name are taken, as the shell does: the zero
    // record before the first add changes nothing.
    const bool withTip = (data.uFlags & NIF_TIP) != 0;
    switch (message) {
    case NIM_ADD:
        if (withTip)
            icon().setToolTip(QString::fromStdString(TrayTipText(data)));
        icon().show();
        break;
    case NIM_MODIFY:
        if (withTip && isVisible())
            m_icon->setToolTip(QString::fromStdString(TrayTipText(data)));
        break;
    case NIM_DELETE:
        if (m_icon)
            m_icon->hide();
        break;
    default:
        break;
    }
}

} // namespace pellwick
