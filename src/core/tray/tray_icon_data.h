#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace pellwick {

// The one record that says what the notification-area icon shows, shaped like
// the shell's single-byte NOTIFYICONDATA: every tray operation hands this whole
// record over, so the icon always shows the window, id and tip stored here.
struct TrayIconData
{
    std::uintptr_t hWnd = 0;
    std::uint32_t uID = 0;
    std::uint32_t uFlags = 0;
    std::uint32_t uCallbackMessage = 0;
    std::uintptr_t hIcon = 0;
    // The tip's text, ended by a NUL; at most 63 characters of text.
    std::array<char, 64> szTip {};
};

// Writes `tip` into szTip followed by a NUL, cut to the 63 characters the
// field holds (never inside a UTF-8 character); the bytes after it are zeroed.
void SetTrayTipText(TrayIconData &data, std::string_view tip);
// The text of szTip up to its NUL.
std::string TrayTipText(const TrayIconData &data);

// Figures of the record as the shell knows them.
inline constexpr std::uint32_t kTrayIconId = 1;
inline constexpr std::uint32_t NIF_MESSAGE = 1;
inline constexpr std::uint32_t NIF_ICON = 2;
inline constexpr std::uint32_t NIF_TIP = 4;

// Mouse events on the icon, numbered like the window messages they stand for.
// The callback message is the right-button press, so the window receives every
// event as one of those, carrying the event's own number.
inline constexpr int WM_LBUTTONUP = 514;
inline constexpr int WM_LBUTTONDBLCLK = 515;
inline constexpr int WM_RBUTTONDOWN = 516;
inline constexpr int WM_RBUTTONUP = 517;

// Where the icon lives: the shell's notification area, or a stand-in for it.
class NotifyArea
{
public:
    static constexpr int NIM_ADD = 0;
    static constexpr int NIM_MODIFY = 1;
    static constexpr int NIM_DELETE = 2;

    virtual ~NotifyArea() = default;
    // Adds, changes or deletes the icon the record describes. Like the shell,
    // it reports nothing back: a failed call simply leaves no trace.
    virtual void Notify(int message, const TrayIconData &data) = 0;
    // False when the desktop has no notification area at all: an icon would
    // then be nowhere to be seen.
    virtual bool Available() const { return true; }
    // Shows a short message beside the icon (a balloon), or where a program
    // without a notification area tells its user (standard error).
    virtual void ShowMessage(const std::string &title, const std::string &text) = 0;
};

} // namespace pellwick
