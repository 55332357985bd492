#pragma once

#include "core/form/frm_main.h"
#include "core/form/in_memory_view.h"
#include "gui/qt/qt_deadline.h"
#include "gui/qt/qt_main_window.h"
#include "gui/qt/qt_socket.h"

#include <QObject>
#include <QTimer>

namespace pellwick {

// frmMain with no window and no tray (--headless): the in-memory view, the
// real socket and timer on a plain Qt event loop, no display needed.
class HeadlessShell
    : public QObject
    , private FormTimer
    , private Clipboard
{
    Q_OBJECT

public:
    explicit HeadlessShell(QtWindowParts parts, QObject *parent = nullptr);
    ~HeadlessShell() override;

    frmMain &Form() { return m_form; }

private:
    // FormTimer.
    void Start(std::int64_t intervalMs) override;
    void Stop() override;
    // Clipboard: a run without a desktop has none; the address is in the mail.
    void SetText(const std::string &text) override;

    InMemoryView m_view;
    QtSocket wckMain;
    QtDeadline m_deadline;
    QTimer tmrMain;
    frmMain m_form;
};

} // namespace pellwick
