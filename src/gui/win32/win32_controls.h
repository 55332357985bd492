#pragma once

#include "core/form/controls.h"

#include <span>
#include <string_view>

namespace pellwick {

// What kind of Windows control stands for a control of the window.
enum class WidgetKind {
    Label,
    Edit,
    MessageEdit,
    LogEdit,
    Button,
    Check,
    Frame,
    Combo,
    Rect,
    Image
};

// One control of the Win32 window as it was drawn: its tab, its place at 96 dots
// per inch on that tab's page, its caption and tooltip. `column` 1 sits right of
// column 0 and moves right when a text of column 0 needs more room; a width of 0
// fills the page.
struct ControlLayout
{
    Control control;
    WidgetKind kind;
    Tab tab;
    int column;
    int x, y, width, height;
    std::wstring_view caption;
    std::wstring_view toolTip;
};

// Every control but tabMain, in keyboard focus order within each tab (the order
// the window creates them in).
std::span<const ControlLayout> ControlLayouts();

// The client area as drawn, at 96 dots per inch.
inline constexpr int kClientWidth = 488;
inline constexpr int kClientHeight = 309;

} // namespace pellwick
