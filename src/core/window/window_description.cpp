// SPDX-License-Identifier: MIT
#include "core/window/window_description.h"

namespace pellwick {

namespace {

using K = WidgetKind;
using C = Control;
using T = Tab;

constexpr std::array<ControlDescription, kControlCount - 1> kControls {{
    // "Email": two columns; the message field is the tallest of the tab.
    {C::SmtpServerLabel, K::Label, T::Email, 0, 8, 8, 200, 14,
     "Mail (SMTP) Server: (mail.example.com)"},
    {C::SmtpServer, K::Edit, T::Email, 0, 8, 24, 200, 21, "",
     "The name of you Internet Mail Server Used for Sending Files"},
    {C::RecipientLabel, K::Label, T::Email, 0, 8, 52, 200, 14,
     "To: (me@example.com;you@example.org)"},
    {C::Recipient, K::Edit, T::Email, 0, 8, 68, 200, 21, "",
     "Who do you want the message sent to?"},
    {C::SenderLabel, K::Label, T::Email, 0, 8, 96, 200, 14, "From: (me@example.com)"},
    {C::Sender, K::Edit, T::Email, 0, 8, 112, 200, 21, "", "Who is the message from?"},
    {C::SubjectLabel, K::Label, T::Email, 1, 220, 8, 245, 14, "Subject: (Your New IP Address Is)"},
    {C::Subject, K::Edit, T::Email, 1, 220, 24, 245, 21, "", "Subject of the Email Message"},
    {C::MessageLabel, K::Label, T::Email, 1, 220, 52, 245, 14,
     "Message: (Enter Your Email Message Here)"},
    {C::Message, K::MessageEdit, T::Email, 1, 220, 68, 245, 121, "",
     "Email Message to Be Sent.  Click on the Button Below to Add Your IP Address "
     "to the Email Body."},
    {C::SendEmailButton, K::Button, T::Email, 0, 8, 144, 200, 25, "Send Email Right Now!",
     "Send an Email Right Now!"},
    {C::InsertIpButton, K::Button, T::Email, 1, 220, 206, 245, 25, "Click to Insert IP Address",
     "Click here to insert your IP Address into the Email Subject or Body", false},
    {C::InsertPublicIpButton, K::Button, T::Email, 1, 220, 236, 245, 25,
     "Click to Insert Public IP Address",
     "Click here to insert the address the internet sees, as your router tells it", false},
    // In the free room under the send button, so that no other control moves far.
    {C::ServerButton, K::Button, T::Email, 0, 8, 175, 90, 25, "Server\u2026",
     "Port, encryption and login for the mail server"},
    {C::TipGroup, K::Frame, T::Email, 0, 8, 206, 200, 60, "Tip!"},
    {C::TipText, K::Label, T::Email, 0, 18, 222, 180, 38,
     "You can also use Pellwick to fire off any quick emails!"},

    // "Settings": three frames across the page.
    {C::WhenToEmailGroup, K::Frame, T::Settings, 0, 8, 6, 0, 80, "Email Options at Startup"},
    {C::EmailIpOnStartup, K::Check, T::Settings, 0, 18, 24, 210, 17, "Run IP Every Time You Login",
     "This will automatically send an email everytime the user logs in."},
    {C::AutoMail, K::Check, T::Settings, 0, 18, 42, 210, 17, "Auto Email IP On Program Startup",
     "This will send an email everytime the Pellwick Application is loaded."},
    {C::EmailOnNewIp, K::Check, T::Settings, 0, 18, 60, 210, 17,
     "Auto Email On When New IP Detected",
     "This will automatically send an email everytime a new IP is detected"},
    {C::AutoExit, K::Check, T::Settings, 1, 240, 24, 215, 17, "Auto Exit After Login Run",
     "This will automatically close the Pellwick application every time an email "
     "is sent.  This will only work when emailing after initial startup run.",
     false},
    {C::StartMinimized, K::Check, T::Settings, 1, 240, 42, 215, 17, "Start Pellwick Minimized",
     "This will start the Pellwick application minimized"},
    {C::TrayIconGroup, K::Frame, T::Settings, 0, 8, 92, 0, 62, "Displaying the Tray Icon"},
    {C::DisplayIcon, K::Check, T::Settings, 0, 18, 110, 210, 17, "Display Tray Icon",
     "This will Show/Hide the Tray Icon."},
    {C::ShowIp, K::Check, T::Settings, 0, 18, 128, 210, 17, "Show IP in Tray Icon",
     "This will display your IP Address in the Tray Icon Text"},
    {C::ShowVirtualMemory, K::Check, T::Settings, 1, 240, 110, 215, 17,
     "Show Virtual Mem in Tray Icon",
     "This will display your Virtual Memory Free in your Tray Icon Text"},
    {C::ShowPhysicalMemory, K::Check, T::Settings, 1, 240, 128, 215, 17,
     "Show Physical Mem in Tray Icon",
     "This will Display your physical memory free in your Tray Icon text"},
    {C::SendEmailGroup, K::Frame, T::Settings, 0, 8, 160, 0, 48, "Sending Email at a Fixed Rate"},
    {C::TimerSend, K::Check, T::Settings, 0, 18, 180, 130, 17, "Send an Email Every"},
    // The unit comes before the rate in the focus order.
    {C::TimerUnit, K::Combo, T::Settings, 1, 214, 178, 100, 120},
    {C::TimerRate, K::Edit, T::Settings, 1, 154, 178, 52, 21, "30"},

    // "Misc"
    {C::ClipboardGroup, K::Frame, T::Misc, 0, 8, 6, 0, 72, "ClipBoard"},
    {C::CopyIpButton, K::Button, T::Misc, 0, 18, 46, 170, 25, "Copy IP To ClipBoard Now"},
    {C::CopyIpOnStartup, K::Check, T::Misc, 0, 18, 24, 430, 17,
     "Automatically Copy Your IP To the Clipboard on Pellwick Startup"},
    {C::ProgramGroup, K::Frame, T::Misc, 0, 8, 86, 0, 64, "Pellwick Settings"},
    {C::ShowDebug, K::Check, T::Misc, 0, 18, 104, 210, 17, "Show Debug Tab Dialog",
     "Show/Hide the Debug Tab"},
    {C::NotifyOnFailure, K::Check, T::Misc, 0, 18, 124, 250, 17, "Notify Me When An Email Fails",
     "Show a message by the tray icon when an email cannot be sent"},
    {C::PublicIpGroup, K::Frame, T::Misc, 0, 8, 158, 0, 70, "Public IP Address"},
    {C::AskRouter, K::Check, T::Misc, 0, 18, 176, 300, 17, "Ask My Router (NAT-PMP)",
     "Ask the router for the address the internet sees, whenever an email uses it"},
    {C::AskStun, K::Check, T::Misc, 0, 18, 200, 150, 17,
     "Ask This STUN Server:", "Ask this server on the internet when the router does not tell"},
    {C::StunServer, K::Edit, T::Misc, 1, 170, 198, 200, 21, "",
     "The STUN server as host or host:port, such as stun.example.net:3478"},

    // "About": the labels and the picture lie on the outline, which comes last; the
    // labels in Arial as they were drawn.
    {C::AboutTitle, K::Label, T::About, 0, 18, 16, 280, 26, "Pellwick v" PELLWICK_VERSION "!", "",
     true, 14.25, true},
    {C::AboutAuthor, K::Label, T::About, 0, 18, 46, 280, 22, "By:  The Pellwick developers", "",
     true, 12},
    {C::AboutEmail, K::Label, T::About, 0, 18, 72, 280, 22, "Email:  pellwick@example.org", "",
     true, 12},
    {C::AboutIcon, K::Image, T::About, 1, 314, 12, 136, 119},
    {C::AboutBox, K::Rect, T::About, 0, 8, 8, 0, 100},
    {C::PhysicalMemory, K::Label, T::About, 0, 8, 140, 0, 16, "Physical Memory"},
    {C::VirtualMemory, K::Label, T::About, 0, 8, 160, 0, 16, "Virtual Memory", ""},
    {C::KnownAddresses, K::Label, T::About, 0, 8, 184, 0, 36, ""},

    // "Debug": the log fills the page.
    {C::DebugText, K::LogEdit, T::Debug, 0, 6, 6, 0, -6},
}};

} // namespace

std::span<const ControlDescription> WindowControls()
{
    return kControls;
}

std::string PresentedCertificateText(std::string_view fingerprint)
{
    if (fingerprint.empty())
        return "No server certificate seen yet: send a mail first.";
    return "The server showed: " + std::string(fingerprint);
}

int ServerPortOr(long long port, int fallback)
{
    return port >= 1 && port <= 65535 ? static_cast<int>(port) : fallback;
}

SubmissionSettings ShownServerSettings(SubmissionSettings stored)
{
    stored.port = ServerPortOr(stored.port, 25);
    if (stored.security < 0 || stored.security >= static_cast<int>(kSecurityEntries.size()))
        stored.security = 1;
    return stored;
}

} // namespace pellwick
