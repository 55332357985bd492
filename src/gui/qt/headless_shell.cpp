#include "gui/qt/headless_shell.h"

namespace pellwick {

HeadlessShell::HeadlessShell(QtWindowParts parts, QObject *parent)
    : QObject(parent)
    , wckMain(this)
    , m_deadline(this)
    , m_form(m_view, TakeFormParts(parts, wckMain, m_deadline, *this, *this, nullptr))
{
    connect(&wckMain, &QtSocket::dataArrival, this,
            [this](std::int32_t count) { m_form.wckMain_DataArrival(count); });
    connect(&tmrMain, &QTimer::timeout, this, [this] { m_form.tmrMain_Timer(); });
}

HeadlessShell::~HeadlessShell() = default;

void HeadlessShell::Start(std::int64_t intervalMs)
{
    tmrMain.start(static_cast<int>(intervalMs));
}

void HeadlessShell::Stop()
{
    tmrMain.stop();
}

void HeadlessShell::SetText(const std::string &text)
{
    (void)text;
}

} // namespace pellwick
