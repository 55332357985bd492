// SPDX-License-Identifier: MIT
#pragma once

#include "core/settings/settings.h"
#include "gui/qt/qt_main_window.h"
#include "gui/qt/qt_notify_area.h"
#include "platform/posix/hive_file.h"
#include "platform/posix/xdg_autostart.h"

#include <QTemporaryDir>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace pellwick::bench {

// One stored setting: its value name and value.
using Setting = std::pair<std::string, SettingValue>;

// Everything a real window needs besides itself, kept in a temporary folder: a
// hive file holding the given settings, the autostart entry, the tray, and this
// machine's own IP and memory readings. The window's end only counts.
class WindowWorld
{
public:
    explicit WindowWorld(const std::vector<Setting> &settings);
    WindowWorld(const WindowWorld &) = delete;
    WindowWorld &operator=(const WindowWorld &) = delete;

    // Parts for one window, its settings in the world's hive.
    QtWindowParts Parts(bool addressWatched = false);

    int ended = 0;

private:
    QTemporaryDir m_dir;
    HiveFile m_hive;
    XdgAutostart m_autostart;
    QtNotifyArea m_notifyArea;
};

// Makes the Qt platform offscreen unless the caller chose one, so the
// benchmarks run on machines without a display.
void UseOffscreenPlatformByDefault();

} // namespace pellwick::bench
