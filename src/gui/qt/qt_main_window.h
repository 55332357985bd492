// SPDX-License-Identifier: MIT
#pragma once

#include "core/window/lazy_window_view.h"
#include "core/window/main_window.h"
#include "core/window/window_parts.h"
#include "gui/qt/main_window_controls.h"
#include "gui/qt/pellwick_icon.h"
#include "gui/qt/qt_datagram_port.h"
#include "gui/qt/qt_deadline.h"
#include "gui/qt/qt_server_dialog.h"
#include "gui/qt/qt_socket.h"
#include "gui/qt/qt_stream_port.h"
#include "gui/qt/qt_window_view.h"
#include "gui/qt/tray_menu.h"

#include <QIcon>
#include <QTimer>

#include <cstdint>
#include <optional>

namespace pellwick {

class NotifyArea;

// What the Qt window needs from outside it; main() gives the real parts,
// tests give their own.
struct QtWindowParts
{
    MachineParts machine;
    // A QtNotifyArea's mouse events reach the window.
    NotifyArea &notifyArea;
    // Address changes reach MainWindow::AddressChanged as they happen.
    bool addressWatched = false;
    // The window's, the About tab's and the menu's picture. One icon, shared
    // with the tray, decodes each size once.
    QIcon icon = PellwickIcon();
};

// The window's tick timer on the Qt event loop.
class QtTickTimer final
    : public QTimer
    , public TickTimer
{
public:
    void Start(std::int64_t intervalMs) override { start(static_cast<int>(intervalMs)); }
    void Stop() override { stop(); }
};

// What the Qt event loop gives MainWindow, with a window or without.
struct QtWindowEvents
{
    QtSocket socket;
    QtDeadline deadline;
    QtTickTimer timer;
    // The public address's questions and their own time limits.
    QtDatagramPort datagrams;
    QtDeadline addressDeadline;
    QtStreamPort streams;

    // The socket's data and the timer's ticks go to the window's behaviour.
    void ConnectTo(MainWindow &window);
};

// MainWindow's parts: the shell's events, clipboard and Server dialog (none
// without a window) with the rest of `parts`, whose texts and functions are
// taken over.
WindowParts TakeWindowParts(QtWindowParts &parts, QtWindowEvents &events, Clipboard &clipboard,
                            ServerDialog *serverDialog);

// The Qt shell of the settings window: its widgets, the tray menu, the socket,
// the timer and the clipboard, handed to MainWindow, which decides everything.
// The window reports what the user does; it acts on nothing by itself.
//
// The controls and the Server dialog are made when first needed (the window
// shown or restored): a log-in run that stays hidden builds and paints none.
class QtMainWindow
    : public MainWindowControls
    , private Clipboard
    , private ServerDialog
    , private LazyWindow
{
    Q_OBJECT

public:
    explicit QtMainWindow(QtWindowParts parts, QWidget *parent = nullptr);
    ~QtMainWindow() override;

    MainWindow &Form() { return m_form; }
    TrayMenu &Menu() { return m_menu; }
    // MainWindow's Start, with the window shown (if at all) once its start-up
    // state is settled.
    void Load();
    // Something was put on the clipboard during this run.
    bool UsedClipboard() const { return m_usedClipboard; }

    void setVisible(bool visible) override;

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // Clipboard.
    void SetText(const std::string &text) override;
    // ServerDialog.
    std::optional<Result> Edit(const SubmissionSettings &current,
                               const std::string &presentedFingerprint) override;

    // LazyWindow.
    bool ControlsMade() const override { return ControlsBuilt(); }
    void MakeControls() override;
    void ShowOnTaskBar() override { show(); }

    void connectControls();
    void focusChanged(QWidget *old, QWidget *now);
    std::optional<Control> controlOf(const QWidget *widget) const;

    TrayMenu m_menu;
    QtWindowView m_widgetView;
    LazyWindowView m_view;
    QtWindowEvents m_events;
    QtServerDialog *m_serverDialog = nullptr;
    bool m_usedClipboard = false;
    std::optional<Control> m_lastFocus;
    MainWindow m_form;
};

} // namespace pellwick
