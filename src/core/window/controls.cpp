// SPDX-License-Identifier: MIT
#include "core/window/controls.h"

#include <array>

namespace pellwick {

std::string_view ControlName(Control control)
{
    static constexpr std::array<std::string_view, kControlCount> names {
        "tabMain",
        "lblSmtpServer",
        "txtSmtpServer",
        "lblTo",
        "txtRecipient",
        "lblSender",
        "txtSender",
        "btnSendEmail",
        "frmTip",
        "lblTip",
        "lblSubject",
        "txtSubject",
        "lblMsg",
        "txtMsg",
        "btnInsertIP",
        "btnInsertPublicIP",
        "btnServer",
        "frmWhenToEmai",
        "chkEmailIPOnStartup",
        "chkAutoMail",
        "chkAutoEmailOnNewIP",
        "chkAutoExit",
        "chkMinimized",
        "frmDisplayTrayIcon",
        "chkDisplayIcon",
        "chkShowIP",
        "chkShowVirtualMem",
        "chkShowPhyMem",
        "frmSendEmail",
        "chkTimerSend",
        "txtTimerRate",
        "cmbTimerRate",
        "Frame1",
        "chkCopyToClipOnStartup",
        "btnCopyIPToClip",
        "frmPellwickSettings",
        "chkShowDebug",
        "chkNotifyOnFailure",
        "frmPublicIP",
        "chkAskRouter",
        "chkAskStun",
        "txtStunServer",
        "shpAbout",
        "lblAboutTitle",
        "lblAboutAuthor",
        "lblAboutEmail",
        "Image1",
        "lblFreePhysMemory",
        "lblVirtMem",
        "lblAddresses",
        "txtDebug",
    };
    return names[Index(control)];
}

} // namespace pellwick
