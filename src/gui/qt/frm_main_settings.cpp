#include "gui/qt/frm_main.h"

#include "core/settings/autostart.h"
#include "gui/qt/qt_text.h"
#include "gui/qt/text_lines.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace pellwick {

namespace {

int stateOf(const QCheckBox *box)
{
    return box->isChecked() ? 1 : 0;
}

} // namespace

void frmMain::LoadSettings()
{
    pellwick::LoadSettings(m_parts.registry, *this);
}

void frmMain::SaveSettings()
{
    pellwick::SaveSettings(m_parts.registry, *this);
}

void frmMain::chkEmailIPOnStartup_Click()
{
    if (chkEmailIPOnStartup->isChecked()) {
        m_parts.autostart.Register();
        chkAutoExit->setEnabled(true);
    } else {
        m_parts.autostart.Unregister();
        chkAutoExit->setEnabled(false);
    }
}

std::string frmMain::Text(std::string_view control) const
{
    const QString name = toQ(control);
    if (const auto *edit = findChild<QLineEdit *>(name))
        return fromQ(edit->text());
    if (const auto *multi = findChild<QPlainTextEdit *>(name))
        return PlainTextWithCrLf(*multi);
    return {};
}

int frmMain::CheckState(std::string_view control) const
{
    const QString name = toQ(control);
    const auto *box = findChild<QCheckBox *>(name);
    return box ? stateOf(box) : 0;
}

int frmMain::ListIndex(std::string_view control) const
{
    const QString name = toQ(control);
    return findChild<QComboBox *>(name) == cmbTimerRate ? m_unitListIndex : -1;
}

void frmMain::SetText(std::string_view control, const std::string &text)
{
    const QString name = toQ(control);
    if (auto *edit = findChild<QLineEdit *>(name))
        edit->setText(toQ(text));
    else if (auto *multi = findChild<QPlainTextEdit *>(name))
        SetPlainTextFromCrLf(*multi, text);
}

void frmMain::SetCheckState(std::string_view control, int state)
{
    const QString name = toQ(control);
    auto *box = findChild<QCheckBox *>(name);
    if (!box)
        return;
    box->setChecked(state != 0);
    // The three tooltip options set their menu marks even when no change ran
    // their handlers.
    if (box == chkShowIP)
        m_menu.ShowIP->setChecked(state != 0);
    else if (box == chkShowPhyMem)
        m_menu.ShowPhyMem->setChecked(state != 0);
    else if (box == chkShowVirtualMem)
        m_menu.ShowVirtMem->setChecked(state != 0);
}

void frmMain::SetListIndex(std::string_view control, int index)
{
    const QString name = toQ(control);
    auto *list = findChild<QComboBox *>(name);
    if (!list)
        return;
    list->setCurrentIndex(index);
    if (list == cmbTimerRate)
        m_unitListIndex = index;
}

} // namespace pellwick
