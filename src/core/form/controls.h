#pragma once

#include <cstddef>
#include <string_view>

namespace pellwick {

// The controls of the settings window, named as the window names them. Every
// shell builds one widget per entry and gives it this name as its object name.
enum class Control {
    tabMain,
    // "Email"
    lblSmtpServer,
    txtSmtpServer,
    lblTo,
    txtRecipient,
    lblSender,
    txtSender,
    btnSendEmail,
    frmTip,
    lblTip,
    lblSubject,
    txtSubject,
    lblMsg,
    txtMsg,
    btnInsertIP,
    // Opens the mail server's port, security and login (ServerDialog).
    btnServer,
    // "Settings"
    frmWhenToEmai,
    chkEmailIPOnStartup,
    chkAutoMail,
    chkAutoEmailOnNewIP,
    chkAutoExit,
    chkMinimized,
    frmDisplayTrayIcon,
    chkDisplayIcon,
    chkShowIP,
    chkShowVirtualMem,
    chkShowPhyMem,
    frmSendEmail,
    chkTimerSend,
    txtTimerRate,
    cmbTimerRate,
    // "Misc"
    Frame1,
    chkCopyToClipOnStartup,
    btnCopyIPToClip,
    frmPellwickSettings,
    chkShowDebug,
    chkNotifyOnFailure,
    // "About"
    shpAbout,
    lblAboutTitle,
    lblAboutAuthor,
    lblAboutEmail,
    Image1,
    lblFreePhysMemory,
    lblVirtMem,
    // "Debug"
    txtDebug,
};

inline constexpr std::size_t kControlCount = static_cast<std::size_t>(Control::txtDebug) + 1;

// The position of an enumerator, for tables kept in enumeration order.
template<typename Enum>
constexpr std::size_t Index(Enum value)
{
    return static_cast<std::size_t>(value);
}

// The control's name, which is also its object name in every shell.
std::string_view ControlName(Control control);

// The pages of tabMain, by position.
enum class Tab { Email = 0, Settings = 1, Misc = 2, About = 3, Debug = 4 };

// The items of the tray's popup menu `mnuPopup` (frmMenu) that do something;
// the separators Sep3, Seperator and Sep1 sit between them as the shell draws.
enum class MenuItem { CopyIP, ShowIP, ShowPhyMem, ShowVirtMem, Restore, Minimize, Exit };

// The window's state as its title bar shows it.
enum class WindowState { Normal, Minimized };

// A check box's value: 0 unchecked, 1 checked, 2 grey (neither; does not
// count as set).
inline constexpr int vbUnchecked = 0;
inline constexpr int vbChecked = 1;
inline constexpr int vbGrayed = 2;

} // namespace pellwick
