// SPDX-License-Identifier: MIT
#include "bench_window.h"

#include "gui/qt/pellwick_icon.h"
#include "platform/platform.h"

#include <QtGlobal>

#include <filesystem>

namespace pellwick::bench {

namespace {

std::filesystem::path folderOf(const QTemporaryDir &dir)
{
    return std::filesystem::path(dir.path().toStdString());
}

} // namespace

WindowWorld::WindowWorld(const std::vector<Setting> &settings)
    : m_hive(folderOf(m_dir) / "registry.reg")
    , m_autostart(folderOf(m_dir), (folderOf(m_dir) / "pellwick").string())
    , m_notifyArea(PellwickIcon())
{
    for (const auto &[name, value] : settings)
        m_hive.Write(name, Stored(value));
    m_hive.Commit();
}

QtWindowParts WindowWorld::Parts(bool addressWatched)
{
    return QtWindowParts {
        .machine = {
            .store = m_hive,
            .autostart = m_autostart,
            .localIp = LocalIP,
            .memoryReader = PlatformMemoryReader(),
            .clock = CurrentLocalTime,
            .commandLine = "",
            .endProcess = [this](int) { ++ended; },
            .hostName = HostName,
        },
        .notifyArea = m_notifyArea,
        .addressWatched = addressWatched,
    };
}

void UseOffscreenPlatformByDefault()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

} // namespace pellwick::bench
