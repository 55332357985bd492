#include "gui/win32/win32_controls.h"

#include <array>

namespace pellwick {

namespace {

using K = WidgetKind;
using C = Control;

constexpr std::array kLayouts {
    // "Email": two columns; the message field is the tallest of the tab.
    ControlLayout {C::lblSmtpServer, K::Label, Tab::Email, 0, 8, 8, 200, 14,
                   L"Mail (SMTP) Server: (mail.example.com)", L""},
    ControlLayout {C::txtSmtpServer, K::Edit, Tab::Email, 0, 8, 24, 200, 21, L"",
                   L"The name of you Internet Mail Server Used for Sending Files"},
    ControlLayout {C::lblTo, K::Label, Tab::Email, 0, 8, 52, 200, 14,
                   L"To: (me@example.com;you@example.org)", L""},
    ControlLayout {C::txtRecipient, K::Edit, Tab::Email, 0, 8, 68, 200, 21, L"",
                   L"Who do you want the message sent to?"},
    ControlLayout {C::lblSender, K::Label, Tab::Email, 0, 8, 96, 200, 14, L"From: (me@example.com)",
                   L""},
    ControlLayout {C::txtSender, K::Edit, Tab::Email, 0, 8, 112, 200, 21, L"",
                   L"Who is the message from?"},
    ControlLayout {C::lblSubject, K::Label, Tab::Email, 1, 220, 8, 245, 14,
                   L"Subject: (Your New IP Address Is)", L""},
    ControlLayout {C::txtSubject, K::Edit, Tab::Email, 1, 220, 24, 245, 21, L"",
                   L"Subject of the Email Message"},
    ControlLayout {C::lblMsg, K::Label, Tab::Email, 1, 220, 52, 245, 14,
                   L"Message: (Enter Your Email Message Here)", L""},
    ControlLayout {C::txtMsg, K::MessageEdit, Tab::Email, 1, 220, 68, 245, 121, L"",
                   L"Email Message to Be Sent.  Click on the Button Below to Add Your IP Address "
                   L"to the Email Body."},
    ControlLayout {C::btnSendEmail, K::Button, Tab::Email, 0, 8, 144, 200, 25,
                   L"Send Email Right Now!", L"Send an Email Right Now!"},
    ControlLayout {C::btnInsertIP, K::Button, Tab::Email, 1, 220, 206, 245, 25,
                   L"Click to Insert IP Address",
                   L"Click here to insert your IP Address into the Email Subject or Body"},
    // In the free room under the send button, so that no other control moves far.
    ControlLayout {C::btnServer, K::Button, Tab::Email, 0, 8, 175, 90, 25, L"Server\u2026",
                   L"Port, encryption and login for the mail server"},
    ControlLayout {C::frmTip, K::Frame, Tab::Email, 0, 8, 206, 200, 60, L"Tip!", L""},
    ControlLayout {C::lblTip, K::Label, Tab::Email, 0, 18, 222, 180, 38,
                   L"You can also use Pellwick to fire off any quick emails!", L""},

    // "Settings": three frames across the page.
    ControlLayout {C::frmWhenToEmai, K::Frame, Tab::Settings, 0, 8, 6, 0, 80,
                   L"Email Options at Startup", L""},
    ControlLayout {C::chkEmailIPOnStartup, K::Check, Tab::Settings, 0, 18, 24, 210, 17,
                   L"Run IP Every Time You Login",
                   L"This will automatically send an email everytime the user logs in."},
    ControlLayout {C::chkAutoMail, K::Check, Tab::Settings, 0, 18, 42, 210, 17,
                   L"Auto Email IP On Program Startup",
                   L"This will send an email everytime the Pellwick Application is loaded."},
    ControlLayout {C::chkAutoEmailOnNewIP, K::Check, Tab::Settings, 0, 18, 60, 210, 17,
                   L"Auto Email On When New IP Detected",
                   L"This will automatically send an email everytime a new IP is detected"},
    ControlLayout {C::chkAutoExit, K::Check, Tab::Settings, 1, 240, 24, 215, 17,
                   L"Auto Exit After Login Run",
                   L"This will automatically close the Pellwick application every time an email "
                   L"is sent.  This will only work when emailing after initial startup run."},
    ControlLayout {C::chkMinimized, K::Check, Tab::Settings, 1, 240, 42, 215, 17,
                   L"Start Pellwick Minimized",
                   L"This will start the Pellwick application minimized"},
    ControlLayout {C::frmDisplayTrayIcon, K::Frame, Tab::Settings, 0, 8, 92, 0, 62,
                   L"Displaying the Tray Icon", L""},
    ControlLayout {C::chkDisplayIcon, K::Check, Tab::Settings, 0, 18, 110, 210, 17,
                   L"Display Tray Icon", L"This will Show/Hide the Tray Icon."},
    ControlLayout {C::chkShowIP, K::Check, Tab::Settings, 0, 18, 128, 210, 17,
                   L"Show IP in Tray Icon",
                   L"This will display your IP Address in the Tray Icon Text"},
    ControlLayout {C::chkShowVirtualMem, K::Check, Tab::Settings, 1, 240, 110, 215, 17,
                   L"Show Virtual Mem in Tray Icon",
                   L"This will display your Virtual Memory Free in your Tray Icon Text"},
    ControlLayout {C::chkShowPhyMem, K::Check, Tab::Settings, 1, 240, 128, 215, 17,
                   L"Show Physical Mem in Tray Icon",
                   L"This will Display your physical memory free in your Tray Icon text"},
    ControlLayout {C::frmSendEmail, K::Frame, Tab::Settings, 0, 8, 160, 0, 48,
                   L"Sending Email at a Fixed Rate", L""},
    ControlLayout {C::chkTimerSend, K::Check, Tab::Settings, 0, 18, 180, 130, 17,
                   L"Send an Email Every", L""},
    // The unit comes before the rate in the focus order.
    ControlLayout {C::cmbTimerRate, K::Combo, Tab::Settings, 1, 214, 178, 100, 120, L"", L""},
    ControlLayout {C::txtTimerRate, K::Edit, Tab::Settings, 1, 154, 178, 52, 21, L"30", L""},

    // "Misc"
    ControlLayout {C::Frame1, K::Frame, Tab::Misc, 0, 8, 6, 0, 72, L"ClipBoard", L""},
    ControlLayout {C::btnCopyIPToClip, K::Button, Tab::Misc, 0, 18, 46, 170, 25,
                   L"Copy IP To ClipBoard Now", L""},
    ControlLayout {C::chkCopyToClipOnStartup, K::Check, Tab::Misc, 0, 18, 24, 430, 17,
                   L"Automatically Copy Your IP To the Clipboard on Pellwick Startup", L""},
    ControlLayout {C::frmPellwickSettings, K::Frame, Tab::Misc, 0, 8, 86, 0, 64,
                   L"Pellwick Settings", L""},
    ControlLayout {C::chkShowDebug, K::Check, Tab::Misc, 0, 18, 104, 210, 17,
                   L"Show Debug Tab Dialog", L"Show/Hide the Debug Tab"},
    ControlLayout {C::chkNotifyOnFailure, K::Check, Tab::Misc, 0, 18, 124, 250, 17,
                   L"Notify Me When An Email Fails",
                   L"Show a message by the tray icon when an email cannot be sent"},

    // "About": the labels and the picture lie on the outline, which comes last.
    ControlLayout {C::lblAboutTitle, K::Label, Tab::About, 0, 18, 16, 280, 26,
                   L"Pellwick v" PELLWICK_VERSION "!", L""},
    ControlLayout {C::lblAboutAuthor, K::Label, Tab::About, 0, 18, 46, 280, 22,
                   L"By:  The Pellwick developers", L""},
    ControlLayout {C::lblAboutEmail, K::Label, Tab::About, 0, 18, 72, 280, 22,
                   L"Email:  pellwick@example.org", L""},
    ControlLayout {C::Image1, K::Image, Tab::About, 1, 314, 12, 136, 119, L"", L""},
    ControlLayout {C::shpAbout, K::Rect, Tab::About, 0, 8, 8, 0, 100, L"", L""},
    ControlLayout {C::lblFreePhysMemory, K::Label, Tab::About, 0, 8, 140, 0, 16, L"Physical Memory",
                   L""},
    ControlLayout {C::lblVirtMem, K::Label, Tab::About, 0, 8, 160, 0, 16, L"Virtual Memory", L""},

    // "Debug": the log fills the page.
    ControlLayout {C::txtDebug, K::LogEdit, Tab::Debug, 0, 6, 6, 0, -6, L"", L""},
};

} // namespace

std::span<const ControlLayout> ControlLayouts()
{
    return kLayouts;
}

} // namespace pellwick
