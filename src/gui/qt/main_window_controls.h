// SPDX-License-Identifier: MIT
#pragma once

#include "core/window/controls.h"

#include <QIcon>
#include <QWidget>

#include <array>

class QGridLayout;
class QPlainTextEdit;
class QTabWidget;

namespace pellwick {

// The controls of the settings window, built from the window's
// description and laid out on their five tabs, and nothing else: the window's
// behaviour is added on top. Every control's widget has the control's name as
// its objectName.
//
// The client area is fixed: as large as drawn, or larger where the desktop's
// font needs more room, so that no caption is ever cut off.
//
// The window itself (caption, icon, frame) exists from the start; its
// controls only from BuildControls on, so that a run that never shows them
// loads no font and builds no widget. Until then every control is null.
class MainWindowControls : public QWidget
{
    Q_OBJECT

public:
    explicit MainWindowControls(const QIcon &icon, QWidget *parent = nullptr);

    // Lays the controls out once; later calls do nothing.
    void BuildControls();
    bool ControlsBuilt() const { return Tabs != nullptr; }

    // The widget that stands for the control (null before BuildControls).
    QWidget *Widget(Control control) const { return m_widgets[static_cast<std::size_t>(control)]; }
    template<typename W>
    W *Get(Control control) const
    {
        return qobject_cast<W *>(Widget(control));
    }

    QTabWidget *Tabs = nullptr;
    QPlainTextEdit *DebugText = nullptr;

private:
    void layOutEmail(QWidget *page);
    void layOutSettings(QWidget *page);
    void layOutMisc(QWidget *page);
    void layOutAbout(QWidget *page);
    // Each text field takes no more than its stored value holds.
    void limitTexts();
    // A grid of the controls in `rows` (left to right, top to bottom) on `parent`.
    QGridLayout *grid(QWidget *parent, std::initializer_list<std::initializer_list<Control>> rows);

    QIcon m_icon;
    std::array<QWidget *, kControlCount> m_widgets {};
};

} // namespace pellwick
