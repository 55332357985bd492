// The Qt notification area keeps one icon and follows the tray operations.
#include "core/tray/sys_tray_icon.h"
#include "gui/qt/pellwick_icon.h"
#include "gui/qt/qt_notify_area.h"

#include <QSystemTrayIcon>

#include <gtest/gtest.h>

#include <vector>

using pellwick::QtNotifyArea;
using pellwick::SysTrayIcon;

TEST(QtNotifyArea, IconFollowsAddModifyDeleteAndReportsClicks)
{
    QtNotifyArea area(pellwick::PellwickIcon());
    SysTrayIcon tray(area);
    ASSERT_EQ(area.findChildren<QSystemTrayIcon *>().size(), 1);
    EXPECT_FALSE(area.isVisible());

    // The zero record before the first add shows nothing.
    tray.SetTrayTip("not yet");
    EXPECT_FALSE(area.isVisible());
    EXPECT_EQ(area.toolTip(), "");

    tray.AddTrayIcon(1, 1, "10.1.2.3");
    tray.AddTrayIcon(1, 1, "10.1.2.4");
    EXPECT_TRUE(area.isVisible());
    EXPECT_EQ(area.toolTip(), "Local IP is 10.1.2.4");
    tray.SetTrayTip("10.1.2.4 ");
    EXPECT_EQ(area.toolTip(), "10.1.2.4 ");

    tray.RemoveTrayIcon();
    EXPECT_FALSE(area.isVisible());
    tray.SetTrayTip("gone");
    EXPECT_FALSE(area.isVisible());
    EXPECT_EQ(area.findChildren<QSystemTrayIcon *>().size(), 1);

    std::vector<int> events;
    QObject::connect(&area, &QtNotifyArea::trayEvent,
                     [&events](int number) { events.push_back(number); });
    auto *icon = area.findChild<QSystemTrayIcon *>();
    for (const auto reason : {QSystemTrayIcon::Trigger, QSystemTrayIcon::DoubleClick,
                              QSystemTrayIcon::Context, QSystemTrayIcon::MiddleClick})
        emit icon->activated(reason);
    EXPECT_EQ(events, (std::vector<int> {514, 515, 517}));
    EXPECT_EQ(icon->contextMenu(), nullptr);
}
